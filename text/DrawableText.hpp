// Text that comes from a file, made drawable once, when it is read: the game draws one byte a
// character, the Latin-1 code point of that value, and only the characters of its glyph set.
// Whatever else a file holds (bytes that are not UTF-8, characters outside the set) becomes
// "?", so the text renderer never meets a character it cannot resolve and its message stays
// for real faults.
#pragma once

#include <string>
#include <string_view>

namespace kes {

struct DrawableText {
    std::string text;       // one byte a character, every one in the glyph set
    bool replaced = false;  // something could not be shown and became "?"
};

// `utf8` decoded strictly (no overlong forms, surrogates or code points past U+10FFFF) and
// mapped onto the glyph set.
DrawableText drawableText(std::string_view utf8);

}  // namespace kes
