// Gamepads through GLFW's gamepad mappings: joystick slots 0 to 3, each state converted into
// the game's packet shape. The conversion is pure, so tests feed it synthetic states.
#pragma once

#include <array>

#include <GLFW/glfw3.h>

#include "platform/Gamepad.hpp"

namespace kes {

// Triggers: -1 (released) ... 1 (pulled) becomes 0 ... 255. Sticks: -1 ... 1 becomes the signed
// 16-bit range, with both y axes flipped because GLFW reports "up" as negative.
GamepadState toGamepadState(const GLFWgamepadstate& state);

// Numbers packets per slot: the number grows whenever the converted state differs from the
// last one read.
class GamepadPacketCounter {
public:
    GamepadPacket next(int slot, const GamepadState& state);

private:
    std::array<GamepadPacket, kGamepadSlots> m_last{};
};

class GlfwGamepadSource final : public GamepadSource {
public:
    bool isConnected(int slot) override;
    bool readPacket(int slot, GamepadPacket& packet) override;

private:
    GamepadPacketCounter m_counter;
};

}  // namespace kes
