#include "game/level/RaceKeys.hpp"

#include <GLFW/glfw3.h>

#include "platform/Gamepad.hpp"

namespace kes {

void RaceKeys::onKey(int key, int scancode, std::uint8_t action, std::uint8_t mods) {
    if (action != GLFW_PRESS) {
        m_game.ship().onKey(key, scancode, action, mods);
        return;
    }
    switch (key) {
        case GLFW_KEY_P: m_game.togglePause(); break;
        case GLFW_KEY_R:
            if (!m_game.racePaused()) {
                m_game.restartRace();
            }
            break;
        case GLFW_KEY_F1: m_game.toggleDebugShapes(); break;
        case GLFW_KEY_F2: m_game.toggleShadowMapTiles(); break;
        default: m_game.ship().onKey(key, scancode, action, mods); break;
    }
}

void RaceKeys::onGamepadButtons(std::uint16_t changed, bool pressed) {
    if (changed == GamepadButton::kStart) {
        if (pressed) {
            m_game.togglePause();
        }
    } else if (changed == GamepadButton::kBack) {
        if (pressed && !m_game.racePaused()) {
            m_game.restartRace();
        }
    } else {
        m_game.ship().onGamepadButtons(changed, pressed);
    }
}

void RaceKeys::onLeftStick(float x, float y, float magnitude) {
    m_game.ship().onLeftStick(x, y, magnitude);
}

void RaceKeys::onLeftTrigger(float value) {
    m_game.ship().onLeftTrigger(value);
}

void RaceKeys::onRightTrigger(float value) {
    m_game.ship().onRightTrigger(value);
}

}  // namespace kes
