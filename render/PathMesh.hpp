// The drawable of the race course: the tube around the path, with each vertex knowing the
// centre of its ring, and the "path" program that shades it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/Shader.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"

namespace kes {

class PathMesh {
public:
    // One ring centre per vertex. The shaders come from `assetsFolder`.
    PathMesh(const std::filesystem::path& assetsFolder, float radius,
             const std::vector<glm::vec3>& vertices, const std::vector<std::uint16_t>& indices,
             const std::vector<glm::vec3>& ringCentres);

    // One triangle strip over all indices (points when there are none), in the caller's
    // polygon mode, depth and blend state.
    void draw(const UBO<perFrameData>& frameData, const glm::vec3& colour, float alpha) const;

    VAO mesh;
    Program program;
    float radius;
    GLint radiusLocation;
    GLint alphaLocation;
    GLint colorLocation;
};

}  // namespace kes
