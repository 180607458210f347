#include "game/screens/InputRouter.hpp"

#include <cmath>
#include <memory>

#include <GLFW/glfw3.h>

#include "game/screens/Menu.hpp"
#include "game/screens/PauseScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/Screen.hpp"

namespace kes {
namespace {

// Past half-way: the stick moves the menu's choice (and a stick or trigger pushed so far says
// the gamepad is in use).
constexpr float kStickPushed = 0.6f;

}  // namespace

Screen* InputRouter::top() const {
    return m_host.screens().top();
}

Screen* InputRouter::menuScreen() const {
    Screen* screen = top();
    return screen != nullptr && !screen->flies() ? screen : nullptr;
}

void InputRouter::onKey(int key, int /*scancode*/, std::uint8_t action, std::uint8_t /*mods*/) {
    if (action == GLFW_PRESS) {
        m_lastDevice = InputDevice::keyboard;
    }
    Screen* screen = top();
    if (screen == nullptr) {
        return;
    }
    if (screen->flies()) {
        raceKey(key, action);
        return;
    }
    if (action == GLFW_RELEASE) {
        screen->releaseKey(key);
        return;
    }
    // A repeat (a key held down) moves through a menu but is never taken as a key pressed.
    if (action == GLFW_PRESS && screen->takeKey(key)) {
        return;
    }
    if (action == GLFW_PRESS && m_host.settings().controls.actionOfKey(key) == Action::screenshot) {
        m_host.takeScreenshot();
        return;
    }
    if (const auto menuAction = menuActionOfKey(key)) {
        screen->act(*menuAction);
    }
}

void InputRouter::raceKey(int key, std::uint8_t action) {
    if (action == GLFW_PRESS) {
        if (key == GLFW_KEY_F1 || key == GLFW_KEY_F2) {
            key == GLFW_KEY_F1 ? m_host.toggleDebugShapes() : m_host.toggleShadowMapTiles();
            return;
        }
        if (key == GLFW_KEY_ESCAPE && gameAction(Action::pause)) {
            return;
        }
    }
    const auto bound = m_host.settings().controls.actionOfKey(key);
    if (!bound || (action == GLFW_PRESS && gameAction(*bound)) || !fliesShip(*bound)) {
        return;
    }
    if (*bound == Action::accelerate && m_host.settings().access.accelerateToggles) {
        toggleAccelerate(action == GLFW_PRESS);
        return;
    }
    m_host.ship().onKey(defaultKey(*bound), 0, action, 0);
}

// With accelerate toggled, a press starts accelerating and the next stops it; letting go does
// nothing (nor does a key held down repeating).
void InputRouter::toggleAccelerate(bool pressed) {
    if (!pressed) {
        return;
    }
    m_accelerating = !m_accelerating;
    m_host.ship().onKey(defaultKey(Action::accelerate), 0,
                        m_accelerating ? GLFW_PRESS : GLFW_RELEASE, 0);
}

void InputRouter::raceButton(std::uint16_t button, bool pressed) {
    const auto bound = m_host.settings().controls.actionOfButton(button);
    if (!bound || (pressed && gameAction(*bound)) || !fliesShip(*bound)) {
        return;
    }
    if (*bound == Action::accelerate && m_host.settings().access.accelerateToggles) {
        toggleAccelerate(pressed);
        return;
    }
    m_host.ship().onKey(defaultKey(*bound), 0, pressed ? GLFW_PRESS : GLFW_RELEASE, 0);
}

bool InputRouter::fliesShip(Action action) {
    return action != Action::restart && action != Action::pause && action != Action::screenshot;
}

bool InputRouter::gameAction(Action action) {
    if (action == Action::restart) {
        m_host.startRace();
        return true;
    }
    if (action == Action::pause) {
        if (top()->pausable()) {
            m_host.screens().push(std::make_unique<PauseScreen>(m_host));
        }
        return true;
    }
    if (action == Action::screenshot) {
        m_host.takeScreenshot();
        return true;
    }
    return false;
}

void InputRouter::onGamepadButtons(std::uint16_t changed, bool pressed) {
    if (pressed) {
        m_lastDevice = InputDevice::gamepad;
    }
    Screen* screen = top();
    if (screen == nullptr) {
        return;
    }
    if (screen->flies()) {
        raceButton(changed, pressed);
        return;
    }
    if (!pressed || screen->takeButton(changed)) {
        return;
    }
    if (const auto menuAction = menuActionOfButton(changed)) {
        screen->act(*menuAction);
    }
}

// On a menu the stick moves the choice, once each time it is pushed past half-way.
void InputRouter::onLeftStick(float x, float y, float magnitude) {
    if (magnitude > kStickPushed) {
        m_lastDevice = InputDevice::gamepad;
    }
    if (Screen* screen = menuScreen()) {
        if (screen->takeLeftStick({x, y})) {
            m_stickY = y;
            return;
        }
        if (std::fabs(y) > kStickPushed && std::fabs(m_stickY) <= kStickPushed) {
            screen->act(y > 0.0f ? MenuAction::down : MenuAction::up);
        }
        m_stickY = y;
        return;
    }
    m_host.ship().onLeftStick(x, y, magnitude);
}

void InputRouter::onRightStick(float x, float y, float magnitude) {
    if (magnitude > kStickPushed) {
        m_lastDevice = InputDevice::gamepad;
    }
    if (Screen* screen = menuScreen()) {
        screen->rightStick({x, y});
    }
}

void InputRouter::onLeftTrigger(float value) {
    m_leftTrigger = value;
    onTriggers(value, [&](HidListener& ship) { ship.onLeftTrigger(value); });
}

void InputRouter::onRightTrigger(float value) {
    m_rightTrigger = value;
    onTriggers(value, [&](HidListener& ship) { ship.onRightTrigger(value); });
}

// On a screen both triggers go to it together; in a race the one moved goes to the ship.
template <typename ToShip>
void InputRouter::onTriggers(float moved, ToShip toShip) {
    if (moved > kStickPushed) {
        m_lastDevice = InputDevice::gamepad;
    }
    if (Screen* screen = menuScreen()) {
        screen->triggers(m_leftTrigger, m_rightTrigger);
    } else if (top() != nullptr) {
        toShip(m_host.ship());
    }
}

void InputRouter::onScroll(double yOffset) {
    if (Screen* screen = menuScreen()) {
        screen->wheel(static_cast<float>(yOffset));
    }
}

// The pointer in the text's units: -1 to 1 across the window, y up. The first report only says
// where a pointer resting over the window stands (the window opened under it): the chosen entry
// follows the pointer when it moves, never before, so Enter at the first frame takes Race.
void InputRouter::onCursorPos(double x, double y) {
    if (m_window.width <= 0 || m_window.height <= 0) {
        return;
    }
    const glm::vec2 cursor{static_cast<float>(2.0 * x / m_window.width - 1.0),
                           static_cast<float>(1.0 - 2.0 * y / m_window.height)};
    const bool moved = m_cursorKnown && cursor != m_cursor;
    const glm::vec2 movedBy = cursor - m_cursor;
    m_cursor = cursor;
    m_cursorKnown = true;
    if (moved) {
        m_lastDevice = InputDevice::mouse;
    }
    if (moved && m_leftHeld && menuScreen() != nullptr) {
        menuScreen()->drag(m_cursor, movedBy);
    }
    Menu* menu = top() != nullptr ? top()->menu() : nullptr;
    if (moved && menu != nullptr) {
        const std::size_t hovered = MenuLayout::entryAt(m_cursor, *menu);
        if (hovered < menu->entries.size() && hovered != menu->selected) {
            menu->selected = hovered;
        }
    }
}

// A click goes to the screen first; one it does not take chooses the entry under the pointer.
void InputRouter::onMouseButton(std::uint8_t button, std::uint8_t action, std::uint8_t /*mods*/) {
    Screen* screen = menuScreen();
    if (screen == nullptr || button != GLFW_MOUSE_BUTTON_LEFT) {
        return;
    }
    if (action == GLFW_RELEASE) {
        if (m_leftHeld) {
            m_leftHeld = false;
            screen->letGo();
        }
        return;
    }
    m_leftHeld = true;
    m_lastDevice = InputDevice::mouse;
    Menu* menu = screen->menu();
    if (screen->takeClick(m_cursor) || menu == nullptr) {
        return;
    }
    const std::size_t clicked = MenuLayout::entryAt(m_cursor, *menu);
    if (clicked < menu->entries.size()) {
        menu->selected = clicked;
        screen->act(MenuAction::choose);
    }
}

}  // namespace kes
