// Lines drawn flat over the finished picture, as the text is: the plot of the statistics screen
// and whatever else a screen draws with lines. Positions are in the text's units (-1 to 1 each
// way, y up, over the part of the window the picture fills) and widths in pixels, so a line is
// as thick at 640 x 480 as at 4K. Each segment becomes a quad of two triangles when drawn, into
// buffers that grow once and are rewritten in place: a frame of lines allocates nothing.
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

class ScreenLines {
public:
    explicit ScreenLines(const std::filesystem::path& assetsFolder);

    void add(const ScreenSegment& segment) { m_segments.push_back(segment); }
    // A square dot of `size` pixels at `at`.
    void addDot(const glm::vec2& at, float size, const glm::vec3& colour);
    std::size_t queued() const { return m_segments.size(); }

    // Draws the queue over the bound framebuffer within `shown` and empties it; colours go
    // through `toDisplay` as the text's do.
    void draw(const Viewport& shown, GlStateCache& state,
              const std::function<glm::vec3(const glm::vec3&)>& toDisplay);

private:
    Program m_program;
    StreamVAO<VertexPosColor> m_quads;
    std::vector<ScreenSegment> m_segments;
    std::vector<VertexPosColor> m_vertices;
    std::vector<std::uint16_t> m_indices;
};

}  // namespace kes
