// Where the player's input goes: on a menu, keys, gamepad buttons, the stick and the mouse
// become menu actions for the screen on top (which may take a key for itself first); in a race
// or its countdown the player's bindings fly the ship, and restart, pause and the debug views
// go to the game. The ship hears each bound key as the key it knows for that action.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "game/screens/MenuAction.hpp"
#include "gpu/Viewport.hpp"
#include "platform/HidListener.hpp"
#include "platform/InputBindings.hpp"

namespace kes {

class ScreenHost;
class Screen;

class InputRouter final : public HidListener {
public:
    // Both must outlive the router; `window` is the viewport the pointer is measured in.
    InputRouter(ScreenHost& host, const Viewport& window) : m_host(host), m_window(window) {}

    void onKey(int key, int scancode, std::uint8_t action, std::uint8_t mods) override;
    void onGamepadButtons(std::uint16_t changed, bool pressed) override;
    void onLeftStick(float x, float y, float magnitude) override;
    void onRightStick(float x, float y, float magnitude) override;
    void onLeftTrigger(float value) override;
    void onRightTrigger(float value) override;
    void onCursorPos(double x, double y) override;
    void onMouseButton(std::uint8_t button, std::uint8_t action, std::uint8_t mods) override;
    void onScroll(double yOffset) override;

    // The device the player used last: a key, a button, a stick or trigger pushed, the pointer
    // moved or clicked.
    InputDevice lastDevice() const { return m_lastDevice; }

private:
    Screen* top() const;
    // The top screen when it is a menu's (not flying the ship), else none.
    Screen* menuScreen() const;
    void raceKey(int key, std::uint8_t action);
    void raceButton(std::uint16_t button, bool pressed);
    void toggleAccelerate(bool pressed);
    template <typename ToShip>
    void onTriggers(float moved, ToShip toShip);
    // A pause, restart or screenshot asked for while racing; false for any other action.
    bool gameAction(Action action);
    // Whether the action's binding flies the ship (the game's own actions do not).
    static bool fliesShip(Action action);

    ScreenHost& m_host;
    const Viewport& m_window;
    glm::vec2 m_cursor{0.0f};
    bool m_cursorKnown = false;
    InputDevice m_lastDevice = InputDevice::keyboard;
    bool m_leftHeld = false;      // the left mouse button, since a press over a screen
    bool m_accelerating = false;  // toggled on, when accelerate toggles
    float m_stickY = 0.0f;
    float m_leftTrigger = 0.0f;
    float m_rightTrigger = 0.0f;
};

}  // namespace kes
