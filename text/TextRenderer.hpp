// On-screen text: strings are queued during a frame with a position, size, colour and anchors,
// then drawn together late in the frame from the glyph atlas, one textured quad per character,
// and the queue emptied. The queue's entries, the quads and their buffers are kept from frame
// to frame, so text that does not grow allocates nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "text/FontCollection.hpp"
#include "text/GlyphAtlas.hpp"

namespace kes {

// Where a string stands against its anchor point.
enum class VerticalAnchor : std::uint8_t {
    hanging = 0,   // its top edge on the point
    centred = 1,   // centred on the point
    standing = 2,  // its bottom edge on the point
};
enum class HorizontalAnchor : std::uint8_t {
    starting = 0,  // it starts at the point
    centred = 1,   // centred on the point
    ending = 2,    // it ends at the point
};

struct TextEntry {
    std::u16string text;
    glm::vec3 position;  // the anchor point; z is 0
    glm::vec3 color;
    float size;  // the line's height in the units of the position, never negative
    VerticalAnchor verticalAnchor;
    HorizontalAnchor horizontalAnchor;
    std::uint8_t isTransformed;  // 1: the position is already in screen space
};

// 16-bit indices address 65 536 vertices: four a character.
inline constexpr std::size_t kMaxTextLength = 16384;

// Where a place of the screen (-1 to 1 each way) stands when what is drawn there is `scale` times
// larger: as far again from its nearest corner or edge times the scale, so that text grows into
// the screen and not off it (a place on the middle line keeps that coordinate).
inline glm::vec2 grownFromEdges(const glm::vec2& at, float scale) {
    const glm::vec2 edge = glm::sign(at);
    return edge + (at - edge) * scale;
}

// The width of `text` drawn `size` high, in the units of the position, over a picture whose
// height over width in pixels is `pixelAspect`; a character outside the set counts nothing.
float lineWidth(const GlyphAtlas& glyphs, std::string_view text, float size, float pixelAspect);

// The quads of one entry: four vertices and six indices a character, characters touching.
// `pixelAspect` (screen height / width in pixels) keeps glyphs unstretched on screens that are
// not square. False, with nothing built, when a character cannot be resolved.
bool layoutText(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                std::vector<VertexPosUV>& vertices, std::vector<std::uint16_t>& indices);
// The same appended to what the lists hold, the entry's indices counted from its own first
// vertex; `cells` is room to work in. False, with nothing appended, as above.
bool appendTextQuads(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                     std::vector<GlyphCell>& cells, std::vector<VertexPosUV>& vertices,
                     std::vector<std::uint16_t>& indices);

// The atlas on the GPU.
class GlyphTexture : public GlyphAtlas {
public:
    GlyphTexture(FontCollection& fonts, const TextLayout& layout, float dpi);

    Texture atlas;  // RGBA8
};

// The dots per inch the atlas is drawn at for a window `windowHeight` pixels high: the glyphs
// at about the size a menu's entries are shown (6 % of the height), so larger text is not
// magnified far and smaller text is drawn from detail to spare; never below the system's.
float atlasDpiFor(int windowHeight, float systemDpi);

class TextRenderer {
public:
    static constexpr std::uint32_t kAtlasFontSize = 24;  // device-independent pixels

    // The shaders come from `assetsFolder`; the atlas is drawn for `dpi`.
    TextRenderer(const std::filesystem::path& assetsFolder, float dpi);

    // Draws the atlas again for `dpi` when it differs from the atlas's by more than a sixth (a
    // window grown to full screen, or shrunk): true when it did.
    bool keepAtlasFor(float dpi);
    float atlasDpi() const { return m_atlasDpi; }

    void addText(std::u16string_view text, const glm::vec2& position, float size,
                 const glm::vec3& color, VerticalAnchor verticalAnchor,
                 HorizontalAnchor horizontalAnchor);
    // Each byte stands for the code point of the same value.
    void addText(std::string_view text, const glm::vec2& position, float size,
                 const glm::vec3& color, VerticalAnchor verticalAnchor,
                 HorizontalAnchor horizontalAnchor);

    // The entries queued since the queue was last drawn or emptied.
    std::span<TextEntry> queued() { return {m_entries.data(), m_queued}; }
    void clearQueue() { m_queued = 0; }

    // Draws the queue into the bound framebuffer and empties it, setting its GL state through
    // `state`, depth-tested against what the framebuffer holds.
    void render(const UBO<perFrameData>& frameData, GlStateCache& state);
    // The same over a finished picture, with no depth test: `pixelAspect` is the viewport's
    // height over its width in pixels.
    void renderOverPicture(const UBO<perFrameData>& frameData, GlStateCache& state,
                           float pixelAspect);

    FontLibrary factory;
    FontCollection fonts;
    GlyphTexture glyphs;
    Program program;
    GLint isTransformedLocation;

private:
    // One entry's quads among the frame's: its indices, counted from its first vertex.
    struct QuadRange {
        std::size_t firstIndex;
        std::size_t indexCount;
        std::size_t firstVertex;
    };

    // A queue entry for new text, reusing a kept entry (and its string's room) when there is
    // one.
    TextEntry& nextEntry(const glm::vec2& position, float size, const glm::vec3& color,
                         VerticalAnchor verticalAnchor, HorizontalAnchor horizontalAnchor);
    void drawQueue(const UBO<perFrameData>& frameData, float pixelAspect, float coverageExponent);

    float m_atlasDpi;
    std::vector<TextEntry> m_entries;  // the first m_queued are queued; the rest kept for reuse
    std::size_t m_queued = 0;
    // The frame's quads, kept for their room.
    std::vector<GlyphCell> m_cells;
    std::vector<VertexPosUV> m_vertices;
    std::vector<std::uint16_t> m_indices;
    std::vector<QuadRange> m_ranges;
    StreamVAO<VertexPosUV> m_quads;
};

}  // namespace kes
