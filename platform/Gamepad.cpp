#include "platform/Gamepad.hpp"

#include <cmath>

#include "platform/HidListener.hpp"

namespace kes {
namespace {

constexpr float kTriggerMax = 255.0f;

}  // namespace

float stickAxisToFloat(std::int16_t raw) {
    return raw < 0 ? static_cast<float>(raw) / 32768.0f : static_cast<float>(raw) / 32767.0f;
}

GamepadPoller::GamepadPoller(GamepadSource& source) : m_source(source) {
    findPad();
}

bool GamepadPoller::findPad() {
    for (int slot = 0; slot < kGamepadSlots; ++slot) {
        if (m_source.isConnected(slot)) {
            m_padIndex = slot;
            return true;
        }
    }
    return false;
}

void GamepadPoller::poll(HidListener* listener) {
    if (m_padIndex == -1 && !findPad()) {
        return;
    }
    // A pad that was unplugged keeps its slot: it is read again there, and nowhere else.
    GamepadPacket packet;
    if (!m_source.readPacket(m_padIndex, packet)) {
        return;
    }
    if (packet.packetNumber == m_previous.packetNumber) {
        return;
    }
    if (listener != nullptr) {
        listener->onGamepadState(&packet.gamepad);
        dispatchChanges(m_previous.gamepad, packet.gamepad, *listener);
    }
    m_previous = packet;
}

void GamepadPoller::dispatchChanges(const GamepadState& before, const GamepadState& now,
                                    HidListener& listener) {
    if (now.buttons != before.buttons) {
        const auto changed = static_cast<std::uint16_t>(before.buttons ^ now.buttons);
        listener.onGamepadButtons(changed, (now.buttons & changed) != 0);
    }
    if (now.leftTrigger != before.leftTrigger) {
        listener.onLeftTrigger(static_cast<float>(now.leftTrigger) / kTriggerMax);
    }
    if (now.rightTrigger != before.rightTrigger) {
        listener.onRightTrigger(static_cast<float>(now.rightTrigger) / kTriggerMax);
    }
    if (now.thumbLX != before.thumbLX || now.thumbLY != before.thumbLY) {
        const float x = stickAxisToFloat(now.thumbLX);
        const float y = stickAxisToFloat(now.thumbLY);
        listener.onLeftStick(x, y, std::sqrt(x * x + y * y));
    }
    if (now.thumbRX != before.thumbRX || now.thumbRY != before.thumbRY) {
        const float x = stickAxisToFloat(now.thumbRX);
        const float y = stickAxisToFloat(now.thumbRY);
        listener.onRightStick(x, y, std::sqrt(x * x + y * y));
    }
}

}  // namespace kes
