#include "platform/GlfwGamepadSource.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kes {
namespace {

constexpr std::array<std::pair<int, std::uint16_t>, 14> kButtonBits{{
    {GLFW_GAMEPAD_BUTTON_A, GamepadButton::kA},
    {GLFW_GAMEPAD_BUTTON_B, GamepadButton::kB},
    {GLFW_GAMEPAD_BUTTON_X, GamepadButton::kX},
    {GLFW_GAMEPAD_BUTTON_Y, GamepadButton::kY},
    {GLFW_GAMEPAD_BUTTON_DPAD_UP, GamepadButton::kDpadUp},
    {GLFW_GAMEPAD_BUTTON_DPAD_DOWN, GamepadButton::kDpadDown},
    {GLFW_GAMEPAD_BUTTON_DPAD_LEFT, GamepadButton::kDpadLeft},
    {GLFW_GAMEPAD_BUTTON_DPAD_RIGHT, GamepadButton::kDpadRight},
    {GLFW_GAMEPAD_BUTTON_START, GamepadButton::kStart},
    {GLFW_GAMEPAD_BUTTON_BACK, GamepadButton::kBack},
    {GLFW_GAMEPAD_BUTTON_LEFT_THUMB, GamepadButton::kLeftThumb},
    {GLFW_GAMEPAD_BUTTON_RIGHT_THUMB, GamepadButton::kRightThumb},
    {GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GamepadButton::kLeftShoulder},
    {GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER, GamepadButton::kRightShoulder},
}};  // the guide button has no bit and is dropped

std::uint8_t triggerByte(float axis) {
    const float scaled = std::round((axis + 1.0f) * 127.5f);
    return static_cast<std::uint8_t>(std::clamp(scaled, 0.0f, 255.0f));
}

std::int16_t stickAxis(float axis) {
    // Ties round to even, so a stick at rest (-0.5 after scaling) reads 0 rather than -1.
    const float scaled = std::nearbyint(axis * 32767.5f - 0.5f);
    return static_cast<std::int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
}

}  // namespace

GamepadState toGamepadState(const GLFWgamepadstate& state) {
    GamepadState pad;
    for (const auto& [glfwButton, bit] : kButtonBits) {
        if (state.buttons[glfwButton] == GLFW_PRESS) {
            pad.buttons = static_cast<std::uint16_t>(pad.buttons | bit);
        }
    }
    pad.leftTrigger = triggerByte(state.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]);
    pad.rightTrigger = triggerByte(state.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER]);
    pad.thumbLX = stickAxis(state.axes[GLFW_GAMEPAD_AXIS_LEFT_X]);
    pad.thumbLY = stickAxis(-state.axes[GLFW_GAMEPAD_AXIS_LEFT_Y]);
    pad.thumbRX = stickAxis(state.axes[GLFW_GAMEPAD_AXIS_RIGHT_X]);
    pad.thumbRY = stickAxis(-state.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y]);
    return pad;
}

GamepadPacket GamepadPacketCounter::next(int slot, const GamepadState& state) {
    GamepadPacket& last = m_last[static_cast<std::size_t>(slot)];
    if (!(state == last.gamepad)) {
        ++last.packetNumber;
        last.gamepad = state;
    }
    return last;
}

bool GlfwGamepadSource::isConnected(int slot) {
    return glfwJoystickIsGamepad(GLFW_JOYSTICK_1 + slot) == GLFW_TRUE;
}

bool GlfwGamepadSource::readPacket(int slot, GamepadPacket& packet) {
    GLFWgamepadstate state;
    if (glfwGetGamepadState(GLFW_JOYSTICK_1 + slot, &state) != GLFW_TRUE) {
        return false;
    }
    packet = m_counter.next(slot, toGamepadState(state));
    return true;
}

}  // namespace kes
