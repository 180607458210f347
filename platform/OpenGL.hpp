// The game's one window with its OpenGL 4.3 context, the loaded GL entry points, and the two
// diagnostic callbacks that write GLFW errors and driver debug messages to the console.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <GL/glew.h>

struct GLFWwindow;

namespace kes {

class openGL {
public:
    // Throws when GLFW, the window or GLEW cannot be brought up.
    openGL(std::int32_t width, std::int32_t height, std::int32_t refreshRate, bool fullscreen);
    ~openGL();
    openGL(const openGL&) = delete;
    openGL& operator=(const openGL&) = delete;

    bool shouldClose() const;
    void requestClose();
    void setTitle(const std::string& title);
    void swapBuffers();
    void pollEvents();

    bool initialized = false;
    GLFWwindow* window = nullptr;

private:
    void initGL();
    void initWindow(std::int32_t width, std::int32_t height, std::int32_t refreshRate,
                    bool fullscreen);
    void teardown();
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
