#include "render/ScreenLines.hpp"

#include <algorithm>
#include <cmath>

#include "gpu/Buffers.hpp"

namespace kes {
namespace {

// 0xAARRGGBB.
std::uint32_t packed(const glm::vec3& colour, float opacity = 1.0f) {
    const auto channel = [](float value) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
    };
    return channel(opacity) << 24 | channel(colour.r) << 16 | channel(colour.g) << 8 |
           channel(colour.b);
}

// Panels under the lines, both blended over the picture.
constexpr PipelineState kOverPicture =
    PipelineState{}.blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
// 16-bit indices reach 65 536 vertices, four a quad: a screen of lines is far fewer.
constexpr std::size_t kMostQuads = 65536 / 4;

}  // namespace

ScreenLines::ScreenLines(const std::filesystem::path& assetsFolder)
    : m_program(makeShaderPath(assetsFolder, "screenLines_vs"),
                makeShaderPath(assetsFolder, "screenLines_ps"), "screenLines") {}

void ScreenLines::addDot(const glm::vec2& at, float size, const glm::vec3& colour) {
    // A segment as long as it is wide, measured in pixels when drawn: a horizontal run of half
    // the size each way would stretch with the aspect, so the dot is made in draw().
    m_segments.push_back({at, at, size, colour});
}

void ScreenLines::appendQuad(const glm::vec2 (&corners)[4], std::uint32_t colour) {
    if (m_vertices.size() / 4 >= kMostQuads) {
        return;
    }
    const auto first = static_cast<std::uint16_t>(m_vertices.size());
    for (const glm::vec2& corner : corners) {
        m_vertices.push_back({glm::vec3(corner, 0.0f), colour});
    }
    for (const int corner : {0, 1, 2, 0, 2, 3}) {
        m_indices.push_back(static_cast<std::uint16_t>(first + corner));
    }
}

void ScreenLines::roundedOutline(const ScreenPanel& panel, const glm::vec2& perPixel) {
    constexpr int kStepsACorner = 6;
    constexpr float kQuarter = 1.57079633f;
    const glm::vec2 size = (panel.high - panel.low) / perPixel;  // pixels
    const float radius = std::min(panel.cornerRadius, 0.5f * std::min(size.x, size.y));
    const glm::vec2 inset = radius * perPixel;
    // The corners' arcs' middles, anticlockwise from the top right, each arc a quarter turn.
    const glm::vec2 middles[4] = {panel.high - inset,
                                  {panel.low.x + inset.x, panel.high.y - inset.y},
                                  panel.low + inset,
                                  {panel.high.x - inset.x, panel.low.y + inset.y}};
    m_outline.clear();
    for (int corner = 0; corner < 4; ++corner) {
        for (int step = 0; step <= kStepsACorner; ++step) {
            const float angle =
                kQuarter * (static_cast<float>(corner) + static_cast<float>(step) / kStepsACorner);
            m_outline.push_back(middles[corner] +
                                glm::vec2(std::cos(angle), std::sin(angle)) * inset);
        }
    }
}

void ScreenLines::appendSegment(const ScreenSegment& segment, const glm::vec2& perPixel,
                                const std::function<glm::vec3(const glm::vec3&)>& toDisplay) {
    const glm::vec2 along = (segment.to - segment.from) / perPixel;  // in pixels
    const float length = glm::length(along);
    const glm::vec2 unit = length > 1e-4f ? along / length : glm::vec2(1.0f, 0.0f);
    const float half = segment.width * 0.5f;
    // A dot (no length) is a square; a line gains half its width at each end.
    const glm::vec2 extend = unit * half * perPixel;
    const glm::vec2 side = glm::vec2(-unit.y, unit.x) * half * perPixel;
    const glm::vec2 a = segment.from - extend;
    const glm::vec2 b = segment.to + extend;
    const glm::vec2 corners[4] = {a - side, b - side, b + side, a + side};
    appendQuad(corners, packed(toDisplay(segment.colour)));
}

void ScreenLines::draw(const Viewport& shown, GlStateCache& state,
                       const std::function<glm::vec3(const glm::vec3&)>& toDisplay) {
    if (shown.width > 0 && shown.height > 0) {
        m_pixelAspect = static_cast<float>(shown.height) / static_cast<float>(shown.width);
        m_shownHeight = static_cast<float>(shown.height);
    }
    if ((m_segments.empty() && m_panels.empty()) || shown.width <= 0 || shown.height <= 0) {
        m_segments.clear();
        m_panels.clear();
        return;
    }
    // Pixels to the text's units, each way.
    const glm::vec2 perPixel(2.0f / static_cast<float>(shown.width),
                             2.0f / static_cast<float>(shown.height));
    m_vertices.clear();
    m_indices.clear();
    for (const ScreenPanel& panel : m_panels) {
        const std::uint32_t fill = packed(toDisplay(panel.fill), panel.opacity);
        if (panel.cornerRadius <= 0.0f) {
            const glm::vec2 corners[4] = {
                panel.low, {panel.high.x, panel.low.y}, panel.high, {panel.low.x, panel.high.y}};
            appendQuad(corners, fill);
            continue;
        }
        // A fan from the middle: each slice a quad whose last corner repeats its third.
        roundedOutline(panel, perPixel);
        const glm::vec2 middle = 0.5f * (panel.low + panel.high);
        for (std::size_t i = 0; i < m_outline.size(); ++i) {
            const glm::vec2& next = m_outline[(i + 1) % m_outline.size()];
            const glm::vec2 slice[4] = {middle, m_outline[i], next, next};
            appendQuad(slice, fill);
        }
    }
    for (const ScreenPanel& panel : m_panels) {
        if (panel.edgeWidth <= 0.0f) {
            continue;
        }
        if (panel.cornerRadius > 0.0f) {
            roundedOutline(panel, perPixel);
        } else {
            m_outline.assign(
                {panel.low, {panel.high.x, panel.low.y}, panel.high, {panel.low.x, panel.high.y}});
        }
        for (std::size_t i = 0; i < m_outline.size(); ++i) {
            appendSegment(
                {m_outline[i], m_outline[(i + 1) % m_outline.size()], panel.edgeWidth, panel.edge},
                perPixel, toDisplay);
        }
    }
    for (const ScreenSegment& segment : m_segments) {
        appendSegment(segment, perPixel, toDisplay);
    }
    m_segments.clear();
    m_panels.clear();
    glViewport(shown.x, shown.y, shown.width, shown.height);
    state.apply(kOverPicture);
    glUseProgram(m_program.id);
    m_quads.upload(m_vertices, m_indices);
    m_quads.drawRange(GL_TRIANGLES, 0, m_indices.size(), 0);
}

}  // namespace kes
