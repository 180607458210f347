// The player's name, as the settings keep it and the ghost files carry it: 1 to 32 bytes of
// text, no control characters (a file's name could otherwise move the console's cursor or
// colour it), no spaces at either end. Header-only: the ghost files' fuzzer reads it alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kes {

inline constexpr std::size_t kLongestPlayerName = 32;

// Why `name` cannot be a player's name; empty when it can.
inline std::string playerNameProblem(std::string_view name) {
    if (name.empty() || name.size() > kLongestPlayerName) {
        return "is not 1 to " + std::to_string(kLongestPlayerName) + " bytes long";
    }
    if (name.front() == ' ' || name.back() == ' ') {
        return "starts or ends with a space";
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            return "holds a control character";
        }
    }
    return {};
}

}  // namespace kes
