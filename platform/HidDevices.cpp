#include "platform/HidDevices.hpp"

#include <cstdint>
#include <iostream>

#include <GLFW/glfw3.h>

#include "platform/HidListener.hpp"

namespace kes {
namespace {

// The callbacks find their object through the window's user pointer; an event that arrives
// without one is reported and dropped.
HidDevices* devicesOf(GLFWwindow* window) {
    auto* devices = static_cast<HidDevices*>(glfwGetWindowUserPointer(window));
    if (devices == nullptr) {
        std::cout << "self: " << static_cast<void*>(devices) << std::endl;
    }
    return devices;
}

HidListener* listenerOf(GLFWwindow* window) {
    HidDevices* devices = devicesOf(window);
    return devices != nullptr ? devices->listener : nullptr;
}

void onKey(GLFWwindow* window, int key, int scancode, int action, int mods) {
    if (HidListener* listener = listenerOf(window)) {
        listener->onKey(key, scancode, static_cast<std::uint8_t>(action),
                        static_cast<std::uint8_t>(mods));
    }
}

// Only the vertical wheel matters to the game.
void onScroll(GLFWwindow* window, double /*xOffset*/, double yOffset) {
    if (HidListener* listener = listenerOf(window)) {
        listener->onScroll(yOffset);
    }
}

void onCursorPos(GLFWwindow* window, double x, double y) {
    if (HidListener* listener = listenerOf(window)) {
        listener->onCursorPos(x, y);
    }
}

void onMouseButton(GLFWwindow* window, int button, int action, int mods) {
    if (HidListener* listener = listenerOf(window)) {
        listener->onMouseButton(static_cast<std::uint8_t>(button),
                                static_cast<std::uint8_t>(action), static_cast<std::uint8_t>(mods));
    }
}

void reportMissingWindow(GLFWwindow* window) {
    std::cout << "wnd: " << static_cast<void*>(window) << std::endl;
}

}  // namespace

HidDevices::HidDevices(GLFWwindow* window_) : window(window_) {
    if (window == nullptr) {
        reportMissingWindow(window);
        return;
    }
    glfwSetWindowUserPointer(window, this);
    glfwSetKeyCallback(window, onKey);
    glfwSetScrollCallback(window, onScroll);
    glfwSetCursorPosCallback(window, onCursorPos);
    glfwSetMouseButtonCallback(window, onMouseButton);
}

HidDevices::~HidDevices() {
    if (window != nullptr) {
        glfwSetKeyCallback(window, nullptr);
        glfwSetScrollCallback(window, nullptr);
        glfwSetCursorPosCallback(window, nullptr);
        glfwSetMouseButtonCallback(window, nullptr);
        glfwSetWindowUserPointer(window, nullptr);
    } else {
        reportMissingWindow(window);
    }
    window = nullptr;
    listener = nullptr;
}

void HidDevices::poll() {
    m_pads.poll(listener);
}

}  // namespace kes
