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
#include "render/ViewFrustum.hpp"

namespace kes {

// Where the tube has faded out wholly, in units from the eye: the tube shaders' FADE_END.
inline constexpr float kTubeFadeEnd = 450.0f;

enum class TubeBlend : std::uint8_t { fragmentLists, additive, blended };

// One of the tube's two layers: its colour and opacity, and whether it is the wire grid (whose
// lines fade out where they would crowd a few pixels apart on the screen).
struct TubeLayer {
    glm::vec3 colour;
    float alpha;
    bool wires;
};

class PathMesh {
public:
    // One ring centre per vertex. The shaders come from `assetsFolder`.
    PathMesh(const std::filesystem::path& assetsFolder, float radius,
             const std::vector<glm::vec3>& vertices, const std::vector<std::uint16_t>& indices,
             const std::vector<glm::vec3>& ringCentres);

    // One triangle strip over all indices (points when there are none), in the caller's
    // polygon mode, depth and blend state.
    void draw(const UBO<perFrameData>& frameData, const TubeLayer& layer,
              TubeBlend blend = TubeBlend::fragmentLists);
    // The blended tube (the basic level) in sections of a few rings, drawing only the sections
    // in `view` and nearer the eye than the tube's fade: a software rasteriser shades every
    // vertex of a draw on the main thread, and most of the course lies behind the camera or
    // past the fade. The sectioned triangles are made when first drawn.
    void drawVisible(const UBO<perFrameData>& frameData, const TubeLayer& layer,
                     const ViewFrustum& view);
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
        GLint radius, alpha, colour, highlight, wires;
    };
    // A run of the sectioned triangles and the sphere that holds them.
    struct Section {
        std::uint32_t firstIndex;
        std::uint32_t indexCount;
        glm::vec3 centre;
        float radius;
    };
    Variant& variant(TubeBlend blend);
    void useVariant(const UBO<perFrameData>& frameData, const TubeLayer& layer, TubeBlend blend);
    void makeSections();

    std::filesystem::path m_assetsFolder;
    std::array<std::optional<Variant>, 3> m_variants;  // by TubeBlend
    glm::vec4 m_highlight{0.0f};
    std::vector<VertexPosVec3> m_vertices;  // kept until the sections are made
    std::optional<VAO> m_sectioned;
    std::vector<Section> m_sections;
};

}  // namespace kes
