#include "text/TextRenderer.hpp"

#include <algorithm>
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
constexpr GLint kCoverageExponentLocation = 11;
// Over a picture in the display's gamma, coverage is shaped as blending in light would have.
constexpr float kDisplayCoverageExponent = 1.0f / 2.2f;

// Empties the queue when the frame's text is done, also when drawing it threw.
class ClearOnExit {
public:
    explicit ClearOnExit(std::size_t& queued) : m_queued(queued) {}
    ~ClearOnExit() { m_queued = 0; }
    ClearOnExit(const ClearOnExit&) = delete;
    ClearOnExit& operator=(const ClearOnExit&) = delete;

private:
    std::size_t& m_queued;
};

}  // namespace

float lineWidth(const GlyphAtlas& glyphs, std::string_view text, float size, float pixelAspect) {
    float cells = 0.0f;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < glyphs.glyphTable.size() && !std::isnan(glyphs.glyphTable[byte].u0)) {
            cells += glyphs.glyphTable[byte].u1 - glyphs.glyphTable[byte].u0;
        }
    }
    return cells * size * glyphs.aspect * pixelAspect;
}

bool layoutText(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                std::vector<VertexPosUV>& vertices, std::vector<std::uint16_t>& indices) {
    vertices.clear();
    indices.clear();
    std::vector<GlyphCell> cells;
    return appendTextQuads(entry, glyphs, pixelAspect, cells, vertices, indices);
}

bool appendTextQuads(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                     std::vector<GlyphCell>& cells, std::vector<VertexPosUV>& vertices,
                     std::vector<std::uint16_t>& indices) {
    const std::u16string_view text(entry.text);
    if (!glyphs.resolveString(text.substr(0, kMaxTextLength), cells)) {
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
    const std::size_t entryStart = vertices.size();
    float pen = 0.0f;
    for (const GlyphCell& cell : cells) {
        const float advance = (cell.u1 - cell.u0) * glyphWidthScale;
        const auto first = static_cast<std::uint16_t>(vertices.size() - entryStart);
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

float atlasDpiFor(int windowHeight, float systemDpi) {
    constexpr float kDefaultDpi = 96.0f;   // the atlas's font size is in pixels at this
    constexpr float kShownEm = 0.06f;      // of the window's height
    constexpr float kLargestDpi = 600.0f;  // an atlas of some 125 pixels an em
    const float wanted = kDefaultDpi * kShownEm * static_cast<float>(std::max(windowHeight, 0)) /
                         static_cast<float>(TextRenderer::kAtlasFontSize);
    return std::clamp(std::max(wanted, systemDpi), kDefaultDpi, kLargestDpi);
}

GlyphTexture::GlyphTexture(FontCollection& fonts, const TextLayout& layout, float dpi)
    : GlyphAtlas(fonts, layout, dpi),
      atlas(pixels.data(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)) {
    // A glyph's top and bottom texels are the row's edges: sampled there, the row must not wrap
    // round to the other edge's ink.
    glBindTexture(GL_TEXTURE_2D, atlas.id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
}

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
      isTransformedLocation(program.uniformLocation("isTransformed")),
      m_atlasDpi(dpi) {}

bool TextRenderer::keepAtlasFor(float dpi) {
    constexpr float kTolerance = 1.0f / 6.0f;
    if (std::fabs(dpi - m_atlasDpi) <= kTolerance * m_atlasDpi) {
        return false;
    }
    glyphs = makeGlyphs(fonts, dpi);
    m_atlasDpi = dpi;
    return true;
}

TextEntry& TextRenderer::nextEntry(const glm::vec2& position, float size, const glm::vec3& color,
                                   VerticalAnchor verticalAnchor,
                                   HorizontalAnchor horizontalAnchor) {
    if (m_queued == m_entries.size()) {
        m_entries.emplace_back();
    }
    TextEntry& entry = m_entries[m_queued++];
    entry.position = glm::vec3(position, 0.0f);
    entry.color = color;
    entry.size = std::abs(size);
    entry.verticalAnchor = verticalAnchor;
    entry.horizontalAnchor = horizontalAnchor;
    entry.isTransformed = 1;
    return entry;
}

void TextRenderer::addText(std::u16string_view text, const glm::vec2& position, float size,
                           const glm::vec3& color, VerticalAnchor verticalAnchor,
                           HorizontalAnchor horizontalAnchor) {
    nextEntry(position, size, color, verticalAnchor, horizontalAnchor).text.assign(text);
}

void TextRenderer::addText(std::string_view text, const glm::vec2& position, float size,
                           const glm::vec3& color, VerticalAnchor verticalAnchor,
                           HorizontalAnchor horizontalAnchor) {
    std::u16string& wide = nextEntry(position, size, color, verticalAnchor, horizontalAnchor).text;
    wide.clear();
    for (const char byte : text) {
        wide.push_back(static_cast<unsigned char>(byte));
    }
}

void TextRenderer::render(const UBO<perFrameData>& frameData, GlStateCache& state) {
    state.apply(kTextState);
    drawQueue(frameData,
              static_cast<float>(frameData.data.height) / static_cast<float>(frameData.data.width),
              1.0f);
}

void TextRenderer::renderOverPicture(const UBO<perFrameData>& frameData, GlStateCache& state,
                                     float pixelAspect) {
    state.apply(kTextState.withoutDepthTest());
    drawQueue(frameData, pixelAspect, kDisplayCoverageExponent);
}

// All the entries' quads go to the GPU at once; each is drawn with its own colour.
void TextRenderer::drawQueue(const UBO<perFrameData>& frameData, float pixelAspect,
                             float coverageExponent) {
    const ClearOnExit emptied(m_queued);
    m_vertices.clear();
    m_indices.clear();
    m_ranges.clear();
    for (const TextEntry& entry : queued()) {
        const QuadRange range{m_indices.size(), 0, m_vertices.size()};
        if (!appendTextQuads(entry, glyphs, pixelAspect, m_cells, m_vertices, m_indices)) {
            break;  // an unknown character ends the text of this frame
        }
        m_ranges.push_back(
            {range.firstIndex, m_indices.size() - range.firstIndex, range.firstVertex});
    }
    if (m_indices.empty()) {
        return;
    }
    m_quads.upload(m_vertices, m_indices);
    glUseProgram(program.id);
    frameData.bind();
    glUniform2f(kTexelSizeLocation, glyphs.atlas.inverseWidth, glyphs.atlas.inverseHeight);
    glUniform1f(kCoverageExponentLocation, coverageExponent);
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_2D, glyphs.atlas.id);
    for (std::size_t i = 0; i < m_ranges.size(); ++i) {
        const TextEntry& entry = m_entries[i];
        const QuadRange& range = m_ranges[i];
        if (range.indexCount == 0) {
            continue;  // an empty string
        }
        glUniform3f(kColourLocation, entry.color.r, entry.color.g, entry.color.b);
        glUniform1i(isTransformedLocation, entry.isTransformed);
        m_quads.drawRange(GL_TRIANGLES, range.firstIndex, range.indexCount, range.firstVertex);
    }
}

}  // namespace kes
