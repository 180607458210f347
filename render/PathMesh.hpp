// The drawable of the race course: the tube around the path, with each vertex knowing the
// centre of its ring, and the "path" program that shades it: appending to the fragment lists,
// added over the lit picture where the quality level keeps no lists, or blended over it (the
// basic level). Each variant is compiled when it is first drawn.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/Shader.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"

namespace kes {

enum class TubeBlend : std::uint8_t { fragmentLists, additive, blended };

class PathMesh {
public:
    // One ring centre per vertex. The shaders come from `assetsFolder`.
    PathMesh(const std::filesystem::path& assetsFolder, float radius,
             const std::vector<glm::vec3>& vertices, const std::vector<std::uint16_t>& indices,
             const std::vector<glm::vec3>& ringCentres);

    // One triangle strip over all indices (points when there are none), in the caller's
    // polygon mode, depth and blend state.
    void draw(const UBO<perFrameData>& frameData, const glm::vec3& colour, float alpha,
              TubeBlend blend = TubeBlend::fragmentLists);
    // The wall clears where it stands between the camera and a ring at `centre` of `ringRadius`
    // (the zone to touch next), so the ring shows in its own colour; ringRadius 0: nowhere.
    void setHighlight(const glm::vec3& centre, float ringRadius) {
        m_highlight = {centre, ringRadius};
    }

    VAO mesh;
    float radius;

private:
    struct Variant {
        Program program;
        GLint radius, alpha, colour, highlight;
    };
    Variant& variant(TubeBlend blend);

    std::filesystem::path m_assetsFolder;
    std::array<std::optional<Variant>, 3> m_variants;  // by TubeBlend
    glm::vec4 m_highlight{0.0f};
};

}  // namespace kes
