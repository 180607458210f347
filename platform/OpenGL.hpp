// The game's one window with its OpenGL 4.3 context, the loaded GL entry points, and the two
// diagnostic callbacks that write GLFW errors and driver debug messages to the console.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <GL/glew.h>

#include "platform/GlDebugLog.hpp"

struct GLFWwindow;

namespace kes {

// How the context is made. The game's is a plain one; tools that must know whether the driver
// complained ask for a debug context, whose output is synchronous and counted in debugLog.
enum class GlDebugOutput : std::uint8_t { off, on };

class openGL {
public:
    // Throws when GLFW, the window or GLEW cannot be brought up.
    openGL(std::int32_t width, std::int32_t height, std::int32_t refreshRate, bool fullscreen,
           GlDebugOutput debugOutput = GlDebugOutput::off);
    ~openGL();
    openGL(const openGL&) = delete;
    openGL& operator=(const openGL&) = delete;

    bool shouldClose() const;
    void requestClose();
    void setTitle(const char* title);
    void swapBuffers();
    void pollEvents();
    // Sleeps until an event arrives (and handles it) or `seconds` have passed.
    void waitEvents(double seconds);
    // The window's framebuffer in pixels: what the window manager and the display's scale made
    // of the requested size.
    void framebufferSize(std::int32_t& width, std::int32_t& height) const;
    bool focused() const;
    // A window (not a full screen) takes the new size at once, or the largest of its shape
    // that fits the screen's work area; the picture follows the framebuffer from the next
    // pass.
    void resizeWindow(std::int32_t width, std::int32_t height);
    bool fullscreen() const;
    // Full screen on the primary monitor at `width` x `height` (its nearest mode), or a window
    // of that size back where the window stood before; at once, the picture following the
    // framebuffer from the next pass. False, nothing changed, when full screen is asked for
    // and there is no monitor.
    bool setFullscreen(bool fullscreen, std::int32_t width, std::int32_t height,
                       std::int32_t refreshRate);
    // The primary monitor's sizes, smallest first, each once (none without a monitor).
    std::vector<std::pair<std::int32_t, std::int32_t>> monitorSizes() const;

    bool initialized = false;
    GLFWwindow* window = nullptr;
    // The size the window was opened at: the one asked for, or for a window larger than the
    // screen's work area the largest of its shape that fits (said in one line).
    std::int32_t openedWidth = 0;
    std::int32_t openedHeight = 0;
    // Where the window stood before it went full screen.
    std::int32_t windowedX = 0;
    std::int32_t windowedY = 0;
    // Every message the debug output delivered; with a plain context drivers send few or none.
    GlDebugLog debugLog;

private:
    void initGL();
    void initWindow(std::int32_t width, std::int32_t height, std::int32_t refreshRate,
                    bool fullscreen, GlDebugOutput debugOutput);
    void enableDebugOutput();
    void teardown();
    std::pair<std::int32_t, std::int32_t> fitWorkArea(std::int32_t width,
                                                      std::int32_t height) const;
};

// The names the debug output prints for a message's source, type and severity.
std::string debugSourceName(GLenum source);
std::string debugTypeName(GLenum type);
std::string debugSeverityName(GLenum severity);

// The console line for one debug message; none for notifications, which are only chatter.
std::optional<std::string> formatDebugMessage(GLenum source, GLenum type, GLuint id,
                                              GLenum severity, const char* message);

// 96 times the primary monitor's content scale; 96 when there is none to ask.
float systemDpi();

// The game's title; the main loop appends the frame rate to it once a second.
inline constexpr const char* kGameTitle = "Driftline Prime (kes engine)";

}  // namespace kes
