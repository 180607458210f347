#include "text/DrawableText.hpp"

#include <cstdint>

#include "text/GlyphSet.hpp"

namespace kes {
namespace {

constexpr char kShownInstead = '?';

// The code point that starts at `at` and how many bytes it takes; a malformed sequence is one
// byte standing for nothing.
struct Decoded {
    char32_t codePoint;
    std::size_t length;
    bool valid;
};

Decoded decodeAt(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1, true};
    }
    std::size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1Fu, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0Fu, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07u, smallest = 0x10000;
    } else {
        return {0, 1, false};
    }
    if (at + length > text.size()) {
        return {0, 1, false};
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {0, 1, false};
        }
        codePoint = codePoint << 6 | (byte(i) & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < smallest || codePoint > 0x10FFFF || surrogate) {
        return {0, 1, false};
    }
    return {codePoint, length, true};
}

bool inGlyphSet(char32_t codePoint) {
    return codePoint <= 0xFF &&
           glyphSet.find(static_cast<char>(codePoint)) != std::string_view::npos;
}

}  // namespace

DrawableText drawableText(std::string_view utf8) {
    DrawableText result;
    result.text.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const Decoded decoded = decodeAt(utf8, at);
        at += decoded.length;
        if (decoded.valid && inGlyphSet(decoded.codePoint)) {
            result.text.push_back(static_cast<char>(decoded.codePoint));
        } else {
            result.text.push_back(kShownInstead);
            result.replaced = true;
        }
    }
    return result;
}

}  // namespace kes
