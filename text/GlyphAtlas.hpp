// The glyph atlas: the glyph set rasterised once, white on black, as one row of cells with a
// black gap between two (so a small label drawn from the atlas's smaller levels does not take
// in its neighbours' ink); every character knows its cell's left and right texture
// coordinates, the cell as wide as its advance. Built on the CPU; GlyphTexture puts it on the
// GPU.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "text/FontCollection.hpp"

namespace kes {

struct GlyphCell {
    float u0;
    float u1;
};

class GlyphAtlas {
public:
    // Texels of black before each cell and after the last: the smaller levels up to the third
    // keep the cells apart.
    static constexpr std::int32_t kCellGap = 8;

    // `layout` is the glyph set at 24 device-independent pixels; the atlas is rasterised at
    // dpi / 96 times that. Throws when the font lacks a character of the set.
    GlyphAtlas(FontCollection& fonts, const TextLayout& layout, float dpi);

    // One cell per unit of `text`; units outside the set get NaN cells, are reported on the
    // console and make the result false.
    bool resolveString(std::u16string_view text, std::vector<GlyphCell>& cells) const;

    std::int32_t width = 0;   // pixels
    std::int32_t height = 0;  // pixels, the line height
    float aspect = 1.0f;      // width / height
    // By byte value 0 ... 254; NaN where the byte is not in the set.
    std::array<GlyphCell, 255> glyphTable{};
    std::string glyphSet;
    // width x height RGBA pixels, bottom row first as GL expects: v = 0 at the glyphs' bottom.
    std::vector<std::uint32_t> pixels;

private:
    void checkCoverage(const TextLayout& layout) const;
    void initGlyphTable(const TextLayout& layout, float scale);
    void rasterise(const FontCollection& fonts, const TextLayout& layout, float scale);
};

}  // namespace kes
