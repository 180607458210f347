// The six skybox faces: a starfield with a faint nebula and a dusty band across the sky.
// Every pixel is painted from its direction on the sky, so the faces meet without seams.
#pragma once

#include <glm/glm.hpp>

#include "Image.hpp"

namespace assetgen {

// The direction a cube-map face's texel looks along, for faces 0 ... 5 = +X, -X, +Y, -Y, +Z,
// -Z and texture coordinates (u, v) with v = 0 on the image's bottom row, which is the row
// the game uploads first.
glm::vec3 cubeFaceDirection(int face, const glm::vec2& uv);

// The sky's colour looking along a unit direction.
glm::vec3 skyColour(const glm::vec3& direction);

Image paintSkyboxFace(int face, int size);

}  // namespace assetgen
