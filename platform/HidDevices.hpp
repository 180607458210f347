// Gathers the player's input: keyboard and mouse events from the window's callbacks, gamepad
// packets from polling once per pass. Everything goes to the one registered listener.
#pragma once

#include "platform/Gamepad.hpp"
#include "platform/GlfwGamepadSource.hpp"

struct GLFWwindow;

namespace kes {

struct HidListener;

class HidDevices {
public:
    // Installs the key, scroll, cursor and mouse-button callbacks on `window`.
    explicit HidDevices(GLFWwindow* window);
    // Removes the callbacks again, so no event reaches a destroyed object.
    ~HidDevices();
    HidDevices(const HidDevices&) = delete;
    HidDevices& operator=(const HidDevices&) = delete;

    // Reads the gamepad; the main loop calls it once per pass, before polling window events.
    void poll();

    int padIndex() const { return m_pads.padIndex(); }

    GLFWwindow* window = nullptr;
    // Not owned. A client stores itself here only when the slot is empty, and clears it in its
    // own destructor while it still holds it.
    HidListener* listener = nullptr;

private:
    GlfwGamepadSource m_gamepadSource;
    GamepadPoller m_pads{m_gamepadSource};
};

}  // namespace kes
