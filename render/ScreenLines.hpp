// Lines and panels drawn flat over the finished picture, before the text: the plot of the
// statistics screen, the dark panels the menus stand on, and whatever else a screen draws with
// lines. Positions are in the text's units (-1 to 1 each way, y up, over the part of the window
// the picture fills) and widths in pixels, so a line is as thick at 640 x 480 as at 4K. The
// panels come first (translucent, blended over the picture), then their edges and the lines.
// Each becomes a quad of two triangles when drawn, into buffers that grow once and are
// rewritten in place: a frame of lines allocates nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Vertex.hpp"
#include "gpu/Viewport.hpp"

namespace kes {

struct ScreenSegment {
    glm::vec2 from{0.0f};
    glm::vec2 to{0.0f};
    float width = 1.0f;  // pixels
    glm::vec3 colour{1.0f};
};

// A translucent rectangle with an edge, from `low` (its lower left corner) to `high`.
struct ScreenPanel {
    glm::vec2 low{0.0f};
    glm::vec2 high{0.0f};
    glm::vec3 fill{0.0f};
    float opacity = 0.6f;
    glm::vec3 edge{1.0f};
    float edgeWidth = 1.0f;     // pixels; 0: none
    float cornerRadius = 0.0f;  // pixels; half the panel's height or more: a disc or a pill
};

class ScreenLines {
public:
    explicit ScreenLines(const std::filesystem::path& assetsFolder);

    void add(const ScreenSegment& segment) { m_segments.push_back(segment); }
    void addPanel(const ScreenPanel& panel) { m_panels.push_back(panel); }
    // A square dot of `size` pixels at `at`.
    void addDot(const glm::vec2& at, float size, const glm::vec3& colour);
    std::size_t queued() const { return m_segments.size() + m_panels.size(); }
    const std::vector<ScreenPanel>& panels() const { return m_panels; }
    // The height over the width, in pixels, of the picture the lines were last drawn over
    // (3/4 before the first): what keeps a shape square in the text's units.
    float pixelAspect() const { return m_pixelAspect; }
    // The height in pixels of that picture (480 before the first): what makes a width in
    // pixels grow with the window.
    float shownHeight() const { return m_shownHeight; }

    // Draws the queue over the bound framebuffer within `shown` and empties it; colours go
    // through `toDisplay` as the text's do.
    void draw(const Viewport& shown, GlStateCache& state,
              const std::function<glm::vec3(const glm::vec3&)>& toDisplay);

private:
    void appendQuad(const glm::vec2 (&corners)[4], std::uint32_t colour);
    // The outline of a panel with rounded corners, into m_outline.
    void roundedOutline(const ScreenPanel& panel, const glm::vec2& perPixel);
    void appendSegment(const ScreenSegment& segment, const glm::vec2& perPixel,
                       const std::function<glm::vec3(const glm::vec3&)>& toDisplay);

    Program m_program;
    StreamVAO<VertexPosColor> m_quads;
    std::vector<ScreenSegment> m_segments;
    std::vector<ScreenPanel> m_panels;
    float m_pixelAspect = 0.75f;
    float m_shownHeight = 480.0f;
    std::vector<VertexPosColor> m_vertices;
    std::vector<glm::vec2> m_outline;  // kept for its room
    std::vector<std::uint16_t> m_indices;
};

}  // namespace kes
