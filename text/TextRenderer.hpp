// On-screen text: strings are queued during a frame with a position, size, colour and anchors,
// then drawn together late in the frame from the glyph atlas, one textured quad per character,
// and the queue emptied.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
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

// The quads of one entry: four vertices and six indices a character, characters touching.
// `pixelAspect` (screen height / width in pixels) keeps glyphs unstretched on screens that are
// not square. False, with nothing built, when a character cannot be resolved.
bool layoutText(const TextEntry& entry, const GlyphAtlas& glyphs, float pixelAspect,
                std::vector<VertexPosUV>& vertices, std::vector<std::uint16_t>& indices);

// The atlas on the GPU.
class GlyphTexture : public GlyphAtlas {
public:
    GlyphTexture(FontCollection& fonts, const TextLayout& layout, float dpi);

    Texture atlas;  // RGBA8
};

class TextRenderer {
public:
    static constexpr std::uint32_t kAtlasFontSize = 24;  // device-independent pixels

    // The shaders come from `assetsFolder`; the atlas is drawn for `dpi`.
    TextRenderer(const std::filesystem::path& assetsFolder, float dpi);

    void addText(const std::u16string& text, const glm::vec2& position, float size,
                 const glm::vec3& color, VerticalAnchor verticalAnchor,
                 HorizontalAnchor horizontalAnchor);
    // Each byte stands for the code point of the same value.
    void addText(const std::string& text, const glm::vec2& position, float size,
                 const glm::vec3& color, VerticalAnchor verticalAnchor,
                 HorizontalAnchor horizontalAnchor);

    // Draws the queue into the bound framebuffer and empties it, setting its GL state through
    // `state`.
    void render(const UBO<perFrameData>& frameData, GlStateCache& state);

    std::vector<TextEntry> queue;
    FontLibrary factory;
    FontCollection fonts;
    GlyphTexture glyphs;
    Program program;
    GLint isTransformedLocation;

private:
    void drawEntry(const TextEntry& entry, const UBO<perFrameData>& frameData,
                   const std::vector<VertexPosUV>& vertices,
                   const std::vector<std::uint16_t>& indices);
};

}  // namespace kes
