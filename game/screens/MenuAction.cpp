#include "game/screens/MenuAction.hpp"

#include <GLFW/glfw3.h>

#include "platform/Gamepad.hpp"

namespace kes {

std::optional<MenuAction> menuActionOfKey(int key) {
    switch (key) {
        case GLFW_KEY_UP: return MenuAction::up;
        case GLFW_KEY_DOWN: return MenuAction::down;
        case GLFW_KEY_LEFT: return MenuAction::left;
        case GLFW_KEY_RIGHT: return MenuAction::right;
        case GLFW_KEY_ENTER:
        case GLFW_KEY_KP_ENTER: return MenuAction::choose;
        case GLFW_KEY_ESCAPE: return MenuAction::back;
        default: return std::nullopt;
    }
}

std::optional<MenuAction> menuActionOfButton(std::uint16_t button) {
    switch (button) {
        case GamepadButton::kDpadUp: return MenuAction::up;
        case GamepadButton::kDpadDown: return MenuAction::down;
        case GamepadButton::kDpadLeft: return MenuAction::left;
        case GamepadButton::kDpadRight: return MenuAction::right;
        case GamepadButton::kA: return MenuAction::choose;
        case GamepadButton::kB: return MenuAction::back;
        case GamepadButton::kStart: return MenuAction::resume;
        default: return std::nullopt;
    }
}

}  // namespace kes
