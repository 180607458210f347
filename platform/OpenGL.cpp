#include "platform/OpenGL.hpp"

#include <algorithm>

#include <iostream>
#include <stdexcept>

#include <GLFW/glfw3.h>

namespace kes {
namespace {

// GLFW hands back the callback ours replaced; errors are passed on to it as well.
GLFWerrorfun s_previousErrorCallback = nullptr;

void onGlfwError(int code, const char* description) {
    std::cout << "GLFW-Error: " << description << std::endl;
    if (s_previousErrorCallback != nullptr) {
        s_previousErrorCallback(code, description);
    }
}

void GLAPIENTRY onDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity,
                               GLsizei /*length*/, const GLchar* message, const void* userParam) {
    // The log belongs to the window object, which outlives its context.
    auto* log = static_cast<GlDebugLog*>(const_cast<void*>(userParam));
    if (log != nullptr) {
        log->record(source, type, id, severity, message);
    }
    if (const auto line = formatDebugMessage(source, type, id, severity, message)) {
        std::cout << *line << std::endl;
    }
}

std::string unknownName(const char* what, GLenum value) {
    return std::string("Unknown ") + what + " (" + std::to_string(value) + ")";
}

}  // namespace

std::string debugSourceName(GLenum source) {
    switch (source) {
        case GL_DEBUG_SOURCE_API: return "API";
        case GL_DEBUG_SOURCE_WINDOW_SYSTEM: return "WindowSystem";
        case GL_DEBUG_SOURCE_SHADER_COMPILER: return "ShaderCompiler";
        case GL_DEBUG_SOURCE_THIRD_PARTY: return "ThirdParty";
        case GL_DEBUG_SOURCE_APPLICATION: return "User";
        case GL_DEBUG_SOURCE_OTHER: return "Other";
        default: return unknownName("source", source);
    }
}

std::string debugTypeName(GLenum type) {
    switch (type) {
        case GL_DEBUG_TYPE_ERROR: return "Error";
        case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR: return "Deprecated";
        case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR: return "Undefined Behavior";
        case GL_DEBUG_TYPE_PORTABILITY: return "Portability";
        case GL_DEBUG_TYPE_PERFORMANCE: return "Performance";
        case GL_DEBUG_TYPE_OTHER: return "Other";
        case GL_DEBUG_TYPE_MARKER: return "Marker";
        case GL_DEBUG_TYPE_PUSH_GROUP: return "Push-Group";
        case GL_DEBUG_TYPE_POP_GROUP: return "Pop-Group";
        default: return unknownName("type", type);
    }
}

std::string debugSeverityName(GLenum severity) {
    switch (severity) {
        case GL_DEBUG_SEVERITY_HIGH: return "High";
        case GL_DEBUG_SEVERITY_MEDIUM: return "Medium";
        case GL_DEBUG_SEVERITY_LOW: return "Low";
        case GL_DEBUG_SEVERITY_NOTIFICATION: return "Notify";
        default: return unknownName("severity", severity);
    }
}

std::optional<std::string> formatDebugMessage(GLenum source, GLenum type, GLuint id,
                                              GLenum severity, const char* message) {
    if (severity == GL_DEBUG_SEVERITY_NOTIFICATION) {
        return std::nullopt;
    }
    return "OpenGL-Error: " + std::string(message != nullptr ? message : "") +
           " [Source: " + debugSourceName(source) + ", Type: " + debugTypeName(type) +
           ", Severity: " + debugSeverityName(severity) + ", ID: " + std::to_string(id) + "]";
}

openGL::openGL(std::int32_t width, std::int32_t height, std::int32_t refreshRate, bool fullscreen,
               GlDebugOutput debugOutput) {
    initGL();
    initWindow(width, height, refreshRate, fullscreen, debugOutput);
    glfwMakeContextCurrent(window);
    // The swap never waits for the vertical blank, whatever the settings' VSync says.
    glfwSwapInterval(0);

    glewExperimental = GL_TRUE;
    const GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK) {
        teardown();
        std::cout << "err: " << glewResult << std::endl;
        throw std::runtime_error("kes::openGL::openGL - Failed to init glew");
    }
    // GLEW asks for the old extension string, which a core context refuses with an error flag;
    // drop it so the first real check does not blame itself for it.
    while (glGetError() != GL_NO_ERROR) {
    }
    glDebugMessageCallback(onDebugMessage, &debugLog);
    if (debugOutput == GlDebugOutput::on) {
        enableDebugOutput();
    }
}

// Synchronous, so a message arrives inside the call that caused it; every severity, since by
// default drivers hold back the low ones.
void openGL::enableDebugOutput() {
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    glDebugMessageControl(GL_DONT_CARE, GL_DONT_CARE, GL_DONT_CARE, 0, nullptr, GL_TRUE);
}

void openGL::initGL() {
    if (glfwInit() != GLFW_TRUE) {
        std::cout << "err: " << 0 << std::endl;
        throw std::runtime_error("kes::openGL::initGL - Failed to init glfw");
    }
    const GLFWerrorfun previous = glfwSetErrorCallback(onGlfwError);
    // A window opened again in the same process finds our own callback installed: chaining to
    // it would repeat every line forever.
    if (previous != onGlfwError) {
        s_previousErrorCallback = previous;
    }
    initialized = true;
}

void openGL::initWindow(std::int32_t width, std::int32_t height, std::int32_t refreshRate,
                        bool fullscreen, GlDebugOutput debugOutput) {
    glfwWindowHint(GLFW_OPENGL_DEBUG_CONTEXT,
                   debugOutput == GlDebugOutput::on ? GLFW_TRUE : GLFW_FALSE);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 4);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_DOUBLEBUFFER, GLFW_TRUE);
    glfwWindowHint(GLFW_RED_BITS, 8);
    glfwWindowHint(GLFW_GREEN_BITS, 8);
    glfwWindowHint(GLFW_BLUE_BITS, 8);
    glfwWindowHint(GLFW_ALPHA_BITS, GLFW_DONT_CARE);
    // The renderer draws into its own targets; the window needs colour only.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
    // Not resizable: render targets are made once at the configured size.
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    glfwWindowHint(GLFW_REFRESH_RATE, refreshRate);

    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    if (!fullscreen) {
        const auto [fittingWidth, fittingHeight] = fitWorkArea(width, height);
        if (fittingWidth != width || fittingHeight != height) {
            std::cout << "A window of " << width << " x " << height
                      << " does not fit the screen's work area; it opens at " << fittingWidth
                      << " x " << fittingHeight << std::endl;
        }
        width = fittingWidth;
        height = fittingHeight;
    }
    GLFWwindow* created = glfwCreateWindow(width, height, kGameTitle, monitor, nullptr);
    if (created == nullptr) {
        // Terminate GLFW here too: the destructor never runs for a constructor that threw.
        teardown();
        throw std::runtime_error("kes::openGL::initWindow - Failed: \"wnd\"");
    }
    window = created;
    openedWidth = width;
    openedHeight = height;
    if (fullscreen) {
        // A full screen takes the monitor's mode nearest to the size asked for.
        glfwGetWindowSize(created, &openedWidth, &openedHeight);
        if (openedWidth != width || openedHeight != height) {
            std::cout << "The screen has no mode of " << width << " x " << height
                      << "; the game fills it at " << openedWidth << " x " << openedHeight
                      << std::endl;
        }
    }
}

// The largest size of the same shape that fits the primary monitor's work area (the screen
// less the desktop's panels); the size itself when it fits or no monitor says.
std::pair<std::int32_t, std::int32_t> openGL::fitWorkArea(std::int32_t width,
                                                          std::int32_t height) const {
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    int x = 0, y = 0, areaWidth = 0, areaHeight = 0;
    if (monitor != nullptr) {
        glfwGetMonitorWorkarea(monitor, &x, &y, &areaWidth, &areaHeight);
    }
    if (areaWidth <= 0 || areaHeight <= 0 || (width <= areaWidth && height <= areaHeight)) {
        return {width, height};
    }
    const double scale = std::min(double(areaWidth) / width, double(areaHeight) / height);
    return {std::max(1, static_cast<std::int32_t>(width * scale)),
            std::max(1, static_cast<std::int32_t>(height * scale))};
}

void openGL::teardown() {
    if (!initialized) {
        return;
    }
    if (window != nullptr) {
        glfwDestroyWindow(window);
        window = nullptr;
    }
    glfwTerminate();
    initialized = false;
}

openGL::~openGL() {
    teardown();
}

bool openGL::shouldClose() const {
    return glfwWindowShouldClose(window) == GLFW_TRUE;
}

void openGL::requestClose() {
    glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void openGL::setTitle(const char* title) {
    glfwSetWindowTitle(window, title);
}

void openGL::swapBuffers() {
    glfwSwapBuffers(window);
}

void openGL::pollEvents() {
    glfwPollEvents();
}

void openGL::waitEvents(double seconds) {
    glfwWaitEventsTimeout(seconds);
}

void openGL::resizeWindow(std::int32_t width, std::int32_t height) {
    if (!fullscreen()) {
        const auto [fittingWidth, fittingHeight] = fitWorkArea(width, height);
        glfwSetWindowSize(window, fittingWidth, fittingHeight);
    }
}

bool openGL::fullscreen() const {
    return glfwGetWindowMonitor(window) != nullptr;
}

bool openGL::setFullscreen(bool fullscreen_, std::int32_t width, std::int32_t height,
                           std::int32_t refreshRate) {
    if (fullscreen_) {
        GLFWmonitor* monitor = glfwGetPrimaryMonitor();
        if (monitor == nullptr) {
            return false;
        }
        if (!fullscreen()) {
            glfwGetWindowPos(window, &windowedX, &windowedY);
        }
        glfwSetWindowMonitor(window, monitor, 0, 0, width, height,
                             refreshRate > 0 ? refreshRate : GLFW_DONT_CARE);
        return true;
    }
    if (!fullscreen()) {
        resizeWindow(width, height);
        return true;
    }
    const auto [fittingWidth, fittingHeight] = fitWorkArea(width, height);
    glfwSetWindowMonitor(window, nullptr, windowedX, windowedY, fittingWidth, fittingHeight, 0);
    return true;
}

std::vector<std::pair<std::int32_t, std::int32_t>> openGL::monitorSizes() const {
    std::vector<std::pair<std::int32_t, std::int32_t>> sizes;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    int count = 0;
    const GLFWvidmode* modes = monitor != nullptr ? glfwGetVideoModes(monitor, &count) : nullptr;
    for (int i = 0; modes != nullptr && i < count; ++i) {
        sizes.emplace_back(modes[i].width, modes[i].height);
    }
    std::sort(sizes.begin(), sizes.end());
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    return sizes;
}

void openGL::framebufferSize(std::int32_t& width, std::int32_t& height) const {
    int w = 0;
    int h = 0;
    glfwGetFramebufferSize(window, &w, &h);
    width = w;
    height = h;
}

bool openGL::focused() const {
    return glfwGetWindowAttrib(window, GLFW_FOCUSED) == GLFW_TRUE;
}

float systemDpi() {
    constexpr float kDefaultDpi = 96.0f;
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (monitor == nullptr) {
        return kDefaultDpi;
    }
    float xScale = 1.0f;
    float yScale = 1.0f;
    glfwGetMonitorContentScale(monitor, &xScale, &yScale);
    return kDefaultDpi * yScale;
}

}  // namespace kes
