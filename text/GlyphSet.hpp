// The characters the game can draw: one byte each, standing for the Unicode code point of the
// same value (Latin-1), laid out in this order in one row of the glyph atlas.
#pragma once

#include <string_view>

namespace kes {

inline constexpr const char* fontFamilyName = "Arial";

// Capitals, Ö Ä Ü, small letters, ö ä ü, digits, then 35 signs ending in '|'.
inline constexpr std::string_view glyphSet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "\xD6\xC4\xDC"
    "abcdefghijklmnopqrstuvwxyz"
    "\xF6\xE4\xFC"
    "0123456789"
    " !\"\xA7$%&/()=\xB4`^\xB0?[]{}\\+*~#',;.:-_<>|";

static_assert(glyphSet.size() == 103);

}  // namespace kes
