// The characters the game can draw: one byte each, standing for the Unicode code point of the
// same value (Latin-1), laid out in this order in one row of the glyph atlas.
#pragma once

#include <string_view>

namespace kes {

inline constexpr const char* fontFamilyName = "Arial";

// Capitals, Ö Ä Ü, small letters, ö ä ü, digits, 35 signs ending in '|', then the letters and
// quotes the German and French catalogues add: ß, à â ç è é ê ë î ï ô ù û, their capitals, « ».
inline constexpr std::string_view glyphSet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
    "\xD6\xC4\xDC"
    "abcdefghijklmnopqrstuvwxyz"
    "\xF6\xE4\xFC"
    "0123456789"
    " !\"\xA7$%&/()=\xB4`^\xB0?[]{}\\+*~#',;.:-_<>|"
    "\xDF\xE0\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF9\xFB"
    "\xC0\xC2\xC7\xC8\xC9\xCA\xCB\xCE\xCF\xD4\xD9\xDB\xAB\xBB";

static_assert(glyphSet.size() == 130);

}  // namespace kes
