// What the player's input means on a menu: the same action from the keyboard (arrows, Enter,
// Escape), the gamepad (d-pad, A, B, Start) or, for choose, a click.
#pragma once

#include <cstdint>
#include <optional>

namespace kes {

enum class MenuAction : std::uint8_t {
    up,
    down,
    left,   // a value down
    right,  // a value up
    choose,
    back,
    resume,  // Start: back out of the pause menu
};

// The device the player used last, which the prompts on the screen follow.
enum class InputDevice : std::uint8_t { keyboard, gamepad, mouse };

std::optional<MenuAction> menuActionOfKey(int key);
std::optional<MenuAction> menuActionOfButton(std::uint16_t button);

}  // namespace kes
