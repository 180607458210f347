// Fuzzes the glyph resolver: any UTF-16 text resolves to atlas cells inside the atlas, or is
// refused with its message, never read outside the glyph table.
#include <cstdint>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "text/FontCollection.hpp"
#include "text/GlyphAtlas.hpp"

namespace {

const kes::GlyphAtlas& atlas() {
    static kes::FontLibrary library;
    static kes::FontCollection fonts(library);
    static const kes::GlyphAtlas glyphs(fonts, fonts.createTextLayout(24), 96.0f);
    return glyphs;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const kes::GlyphAtlas& glyphs = atlas();
    std::u16string text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    }
    std::ostringstream quiet;  // the refusal message of each bad character
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());
    std::vector<kes::GlyphCell> cells;
    const bool resolved = glyphs.resolveString(text, cells);
    std::cout.rdbuf(console);
    if (resolved) {
        if (cells.size() != text.size()) {
            std::abort();
        }
        for (const kes::GlyphCell& cell : cells) {
            if (!(cell.u0 >= 0.0f && cell.u1 <= 1.0f && cell.u0 < cell.u1)) {
                std::abort();
            }
        }
    }
    return 0;
}
