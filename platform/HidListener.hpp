// The one object that receives the player's input. Every operation does nothing by default; a
// listener overrides what it needs.
#pragma once

#include <cstdint>

#include "platform/Gamepad.hpp"

namespace kes {

struct HidListener {
    // key: GLFW key code; action: 0 release, 1 press, 2 repeat.
    virtual void onKey(int /*key*/, int /*scancode*/, std::uint8_t /*action*/,
                       std::uint8_t /*mods*/) {}
    virtual void onScroll(double /*yOffset*/) {}
    virtual void onCursorPos(double /*x*/, double /*y*/) {}
    virtual void onMouseButton(std::uint8_t /*button*/, std::uint8_t /*action*/,
                               std::uint8_t /*mods*/) {}
    virtual void onGamepadState(const GamepadState* /*state*/) {}
    // changed: the button bits that flipped; pressed: whether any of them is now down.
    virtual void onGamepadButtons(std::uint16_t /*changed*/, bool /*pressed*/) {}
    virtual void onLeftStick(float /*x*/, float /*y*/, float /*magnitude*/) {}
    virtual void onRightStick(float /*x*/, float /*y*/, float /*magnitude*/) {}
    virtual void onLeftTrigger(float /*value*/) {}
    virtual void onRightTrigger(float /*value*/) {}

protected:
    ~HidListener() = default;
};

}  // namespace kes
