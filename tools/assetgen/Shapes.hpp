// Building blocks of the generated meshes: surfaces of revolution and flat-faced blocks.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "MeshBuilder.hpp"

namespace assetgen {

// A point of a profile: `axial` along the axis of revolution, `radius` away from it.
struct ProfilePoint {
    float axial;
    float radius;
};

// Where a surface of revolution stands and how it is textured.
struct Lathe {
    glm::vec3 origin{0.0f};
    int axis = 2;                      // 0 = x, 2 = z: the axis the profile turns about
    glm::vec2 crossScale{1.0f, 1.0f};  // squashes the circular cross-section into an ellipse
    float startAngle = 0.0f;           // radians; the sweep runs from here ...
    float sweep = 6.2831853f;          // ... over this many radians
    int segments = 48;
    glm::vec2 uvMin{0.0f, 0.0f};  // u runs around, v along the profile
    glm::vec2 uvMax{1.0f, 1.0f};
    bool smooth = true;  // false: every profile segment gets its own rings (sharp corners)
};

// Turns the profile about the lathe's axis, counter-clockwise about it; the profile must run
// in the direction of the axis where the surface faces away from it. Normals come from the
// profile, so they are exact for the undisplaced surface.
void addLathe(MeshBuilder& mesh, const std::vector<ProfilePoint>& profile, const Lathe& lathe);

// A block with eight corners indexed x | y << 1 | z << 2 (bit set = the larger coordinate).
// Each face is flat and textured by `uvOf`; `mirrored` blocks (reflected in x) keep their
// faces facing outwards.
void addBlock(MeshBuilder& mesh, const std::array<glm::vec3, 8>& corners, bool mirrored,
              const std::function<glm::vec2(const glm::vec3&, const glm::vec3&)>& uvOf);

}  // namespace assetgen
