// What the player sets about the screens themselves, kept in the [Interface] section of the
// settings (after [Accessibility]): the language the screens speak and how large the menus and
// the race display are drawn.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

namespace kes {

inline constexpr std::int32_t kMinUiScale = 75;  // percent
inline constexpr std::int32_t kMaxUiScale = 200;

// "auto" or the code of a language the game has; anything else is one line on `console` and
// "auto".
std::string readLanguageSetting(const std::string& code, std::ostream& console);
// A percentage from 75 to 200, or none for "auto"; anything else is one line and auto.
std::optional<std::int32_t> readUiScaleSetting(const std::string& text, std::ostream& console);

// How large the menus and the race display are drawn: the player's percentage, or under auto
// larger in a small window, measured in the desktop's own units (its content scale): from 1 at
// 720 such pixels high and more to 1.25 at 460 and less.
float uiScaleFor(std::optional<std::int32_t> percent, std::int32_t windowHeight,
                 float contentScale);

}  // namespace kes
