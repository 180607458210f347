#include "text/GlyphAtlas.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <iostream>
#include <limits>
#include <stdexcept>

namespace kes {
namespace {

constexpr float kDefaultDpi = 96.0f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

char32_t codePointOf(char byte) {
    return static_cast<unsigned char>(byte);
}

}  // namespace

GlyphAtlas::GlyphAtlas(FontCollection& fonts, const TextLayout& layout, float dpi)
    : glyphSet(layout.text) {
    const float scale = dpi / kDefaultDpi;
    const auto gaps = static_cast<float>((layout.text.size() + 1) * kCellGap);
    width = static_cast<std::int32_t>(std::ceil(layout.width * scale + gaps));
    height = static_cast<std::int32_t>(std::ceil(layout.height * scale));
    aspect = static_cast<float>(width) / static_cast<float>(height);
    checkCoverage(layout);
    initGlyphTable(layout, scale);
    rasterise(fonts, layout, scale);
}

void GlyphAtlas::checkCoverage(const TextLayout& layout) const {
    bool complete = true;
    for (const char c : layout.text) {
        if (!layout.format->hasGlyph(codePointOf(c))) {
            std::cout << "kes::GlyphTexture::initGlyphTable - Character \"" << c
                      << "\" isn't in the specified fontface :(" << std::endl;
            complete = false;
        }
    }
    if (!complete) {
        throw std::runtime_error(
            "kes::GlyphTexture::initGlyphTable - Not every character got resolved :(");
    }
}

// Each character's cell is its advance, after a gap.
void GlyphAtlas::initGlyphTable(const TextLayout& layout, float scale) {
    glyphTable.fill({kNaN, kNaN});
    const auto across = static_cast<float>(width);
    float x = 0.0f;  // texels
    for (std::size_t i = 0; i < layout.text.size(); ++i) {
        x += static_cast<float>(kCellGap);
        const float next = x + layout.advances[i] * scale;
        glyphTable[static_cast<unsigned char>(layout.text[i])] = {x / across, next / across};
        x = next;
    }
}

void GlyphAtlas::rasterise(const FontCollection& fonts, const TextLayout& layout, float scale) {
    pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    const std::unique_ptr<TextFormat> raster = fonts.openFormat(layout.format->pixelSize() * scale);
    FT_Face face = raster->face();
    const int baseline = static_cast<int>(std::lround(layout.ascent * scale));
    float pen = 0.0f;
    for (std::size_t i = 0; i < layout.text.size(); ++i) {
        pen += static_cast<float>(kCellGap);
        // Place the glyph at its exact fractional pen position, as the cells are measured.
        const float whole = std::floor(pen);
        FT_Vector shift{static_cast<FT_Pos>(std::lround((pen - whole) * 64.0f)), 0};
        FT_Set_Transform(face, nullptr, &shift);
        if (FT_Load_Char(face, codePointOf(layout.text[i]),
                         FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) == 0) {
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            const int left = static_cast<int>(whole) + face->glyph->bitmap_left;
            // A glyph reaching past its own cell (the hook of a j under the i before it) would
            // show as a stray mark beside its neighbour, the texels sampled at a cell's edge
            // included: it keeps to the texels wholly within its cell.
            const int cellLeft = static_cast<int>(std::ceil(pen));
            const int cellRight = static_cast<int>(std::floor(pen + layout.advances[i] * scale));
            const int top = baseline - face->glyph->bitmap_top;
            for (unsigned row = 0; row < bitmap.rows; ++row) {
                const int y = top + static_cast<int>(row);
                for (unsigned column = 0; column < bitmap.width; ++column) {
                    const int x = left + static_cast<int>(column);
                    if (x < std::max(0, cellLeft) || x >= std::min(width, cellRight) || y < 0 ||
                        y >= height) {
                        continue;
                    }
                    const std::uint32_t coverage =
                        bitmap.buffer[static_cast<std::ptrdiff_t>(row) * bitmap.pitch + column];
                    // White on black; stored bottom row first.
                    std::uint32_t& pixel =
                        pixels[static_cast<std::size_t>(height - 1 - y) * width + x];
                    const std::uint32_t value = std::max(pixel & 0xFFu, coverage);
                    pixel = value | value << 8 | value << 16 | value << 24;
                }
            }
        }
        pen += layout.advances[i] * scale;
    }
    FT_Set_Transform(face, nullptr, nullptr);
}

bool GlyphAtlas::resolveString(std::u16string_view text, std::vector<GlyphCell>& cells) const {
    cells.assign(text.size(), {kNaN, kNaN});
    bool resolved = true;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i];
        if (unit <= 255 && glyphSet.find(static_cast<char>(unit)) != std::string::npos) {
            cells[i] = glyphTable[unit];
            continue;
        }
        resolved = false;
        std::cout << "kes::GlyphTexture::resolveString - Trying to resolve invalid character \""
                  << static_cast<char>(unit & 0xFF) << "\"" << std::endl;
    }
    return resolved;
}

}  // namespace kes
