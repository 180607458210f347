#include "render/ScreenLines.hpp"

#include <algorithm>
#include <cmath>

#include "gpu/Buffers.hpp"

namespace kes {
namespace {

std::uint32_t packed(const glm::vec3& colour) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    return channel(colour.r) << 16 | channel(colour.g) << 8 | channel(colour.b);
}

}  // namespace

ScreenLines::ScreenLines(const std::filesystem::path& assetsFolder)
    : m_program(makeShaderPath(assetsFolder, "screenLines_vs"),
                makeShaderPath(assetsFolder, "screenLines_ps"), "screenLines") {}

void ScreenLines::addDot(const glm::vec2& at, float size, const glm::vec3& colour) {
    // A segment as long as it is wide, measured in pixels when drawn: a horizontal run of half
    // the size each way would stretch with the aspect, so the dot is made in draw().
    m_segments.push_back({at, at, size, colour});
}

void ScreenLines::draw(const Viewport& shown, GlStateCache& state,
                       const std::function<glm::vec3(const glm::vec3&)>& toDisplay) {
    if (m_segments.empty() || shown.width <= 0 || shown.height <= 0) {
        m_segments.clear();
        return;
    }
    // Pixels to the text's units, each way.
    const glm::vec2 perPixel(2.0f / static_cast<float>(shown.width),
                             2.0f / static_cast<float>(shown.height));
    m_vertices.clear();
    m_indices.clear();
    // At most as many as 16-bit indices reach: a screen of lines is far fewer.
    const std::size_t most = 65536 / 6;
    for (std::size_t i = 0; i < m_segments.size() && i < most; ++i) {
        const ScreenSegment& segment = m_segments[i];
        const glm::vec2 along = (segment.to - segment.from) / perPixel;  // in pixels
        const float length = glm::length(along);
        const glm::vec2 unit = length > 1e-4f ? along / length : glm::vec2(1.0f, 0.0f);
        const float half = segment.width * 0.5f;
        // A dot (no length) is a square; a line gains half its width at each end.
        const glm::vec2 extend = unit * half * perPixel;
        const glm::vec2 side = glm::vec2(-unit.y, unit.x) * half * perPixel;
        const glm::vec2 a = segment.from - extend;
        const glm::vec2 b = segment.to + extend;
        const std::uint32_t colour = packed(toDisplay(segment.colour));
        for (const glm::vec2& corner :
             {a - side, b - side, b + side, a - side, b + side, a + side}) {
            m_vertices.push_back({glm::vec3(corner, 0.0f), colour});
        }
    }
    m_segments.clear();
    glViewport(shown.x, shown.y, shown.width, shown.height);
    state.apply(PipelineState{});
    glUseProgram(m_program.id);
    const VAO quads(m_vertices);
    quads.draw(GL_TRIANGLES);
}

}  // namespace kes
