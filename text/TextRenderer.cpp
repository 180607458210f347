#include "text/TextRenderer.hpp"

#include <cmath>

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {
namespace {

// Blended over the picture, depth-tested against what the framebuffer holds but never writing
// depth, both faces drawn.
constexpr PipelineState kTextState =
    PipelineState{}.depth(GL_LESS, false).blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

constexpr GLint kTexelSizeLocation = 9;  // fixed in the text shaders
constexpr GLint kColourLocation = 10;

// Empties the queue when the frame's text is done, also when drawing it threw.
class ClearOnExit {
public:
    explicit ClearOnExit(std::vector<TextEntry>& queue) : m_queue(queue) {}
    ~ClearOnExit() { m_queue.clear(); }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    std::vector<TextEntry>& m_queue;
};

}  // namespace

bool layoutText(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                std::vector<VertexPosUV>& vertices, std::vector<std::uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    std::vector<GlyphCell> cells;
    if (!glyphs.resolveString(entry.text.substr(0, kMaxTextLength), cells)) {
        return false;
    }
    const float glyphWidthScale = entry.size * glyphs.aspect * pixelAspect;
    float width = 0.0f;
    for (const GlyphCell& cell : cells) {
        width += (cell.u1 - cell.u0) * glyphWidthScale;
    }
    float x0 = entry.position.x;
    if (entry.horizontalAnchor == HorizontalAnchor::centred) {
        x0 -= width / 2.0f;
    } else if (entry.horizontalAnchor == HorizontalAnchor::ending) {
        x0 -= width;
    }
    float y0 = entry.position.y;
    if (entry.verticalAnchor == VerticalAnchor::hanging) {
        y0 -= entry.size;
    } else if (entry.verticalAnchor == VerticalAnchor::centred) {
        y0 -= entry.size / 2.0f;
    }
    const float z = entry.position.z;
    float pen = 0.0f;
    for (const GlyphCell& cell : cells) {
        const float advance = (cell.u1 - cell.u0) * glyphWidthScale;
        const auto first = static_cast<std::uint16_t>(vertices.size());
        vertices.push_back({{x0 + pen, y0, z}, {cell.u0, 0.0f}});
        vertices.push_back({{x0 + pen, y0 + entry.size, z}, {cell.u0, 1.0f}});
        vertices.push_back({{x0 + pen + advance, y0, z}, {cell.u1, 0.0f}});
        vertices.push_back({{x0 + pen + advance, y0 + entry.size, z}, {cell.u1, 1.0f}});
        for (const int corner : {0, 1, 2, 1, 3, 2}) {
            indices.push_back(static_cast<std::uint16_t>(first + corner));
        }
        pen += advance;
    }
    return true;
}

GlyphTexture::GlyphTexture(FontCollection& fonts, const TextLayout& layout, float dpi)
    : GlyphAtlas(fonts, layout, dpi),
      atlas(pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)) {}

namespace {

GlyphTexture makeGlyphs(FontCollection& fonts, float dpi) {
    return GlyphTexture(fonts, fonts.createTextLayout(TextRenderer::kAtlasFontSize), dpi);
}

}  // namespace

TextRenderer::TextRenderer(const std::filesystem::path& assetsFolder, float dpi)
    : fonts(factory),
      glyphs(makeGlyphs(fonts, dpi)),
      program(makeShaderPath(assetsFolder, "text_vs"), makeShaderPath(assetsFolder, "text_ps"),
              "text"),
      isTransformedLocation(program.uniformLocation("isTransformed")) {}

void TextRenderer::addText(const std::u16string& text, const glm::vec2& position, float size,
                           const glm::vec3& color, VerticalAnchor verticalAnchor,
                           HorizontalAnchor horizontalAnchor) {
    queue.push_back({text, glm::vec3(position, 0.0f), color, std::abs(size), verticalAnchor,
                     horizontalAnchor, 1});
}

void TextRenderer::addText(const std::string& text, const glm::vec2& position, float size,
                           const glm::vec3& color, VerticalAnchor verticalAnchor,
                           HorizontalAnchor horizontalAnchor) {
    std::u16string wide;
    wide.reserve(text.size());
    for (const char byte : text) {
        wide.push_back(static_cast<unsigned char>(byte));
    }
    addText(wide, position, size, color, verticalAnchor, horizontalAnchor);
}

void TextRenderer::render(const UBO<perFrameData>& frameData, GlStateCache& state) {
    const ClearOnExit emptied(queue);
    state.apply(kTextState);
    const float pixelAspect =
        static_cast<float>(frameData.data.height) / static_cast<float>(frameData.data.width);
    std::vector<VertexPosUV> vertices;
    std::vector<std::uint16_t> indices;
    for (const TextEntry& entry : queue) {
        if (entry.text.empty()) {
            continue;  // nothing to draw, and no buffer can be made of nothing
        }
        if (!layoutText(entry, glyphs, pixelAspect, vertices, indices)) {
            break;  // an unknown character ends the text of this frame
        }
        drawEntry(entry, frameData, vertices, indices);
    }
}

void TextRenderer::drawEntry(const TextEntry& entry, const UBO<perFrameData>& frameData,
                             const std::vector<VertexPosUV>& vertices,
                             const std::vector<std::uint16_t>& indices) {
    glUseProgram(program.id);
    frameData.bind();
    glUniform2f(kTexelSizeLocation, glyphs.atlas.inverseWidth, glyphs.atlas.inverseHeight);
    glUniform3f(kColourLocation, entry.color.r, entry.color.g, entry.color.b);
    glUniform1i(isTransformedLocation, entry.isTransformed);
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_2D, glyphs.atlas.id);
    const VAO quads(vertices, indices);
    quads.draw(GL_TRIANGLES);
}

}  // namespace kes
