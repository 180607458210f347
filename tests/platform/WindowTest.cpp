// Runs under Xvfb: a real window, context and X events.
#include <algorithm>
#include <chrono>
#include <string>

#include <gtest/gtest.h>

#include "platform/HidDevices.hpp"
#include "platform/HidListener.hpp"
#include "platform/OpenGL.hpp"

#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3.h>
#include <GLFW/glfw3native.h>
#include <X11/keysym.h>

namespace kes {
namespace {

class KeyRecorder final : public HidListener {
public:
    void onKey(int key, int /*scancode*/, std::uint8_t action, std::uint8_t /*mods*/) override {
        keys.push_back(key);
        actions.push_back(action);
    }
    std::vector<int> keys;
    std::vector<int> actions;
};

void sendKeyPress(GLFWwindow* window, KeySym key) {
    Display* display = glfwGetX11Display();
    XKeyEvent event{};
    event.type = KeyPress;
    event.display = display;
    event.window = glfwGetX11Window(window);
    event.root = DefaultRootWindow(display);
    event.time = CurrentTime;
    event.same_screen = True;
    event.keycode = XKeysymToKeycode(display, key);
    XSendEvent(display, event.window, True, KeyPressMask, reinterpret_cast<XEvent*>(&event));
    XFlush(display);
}

TEST(Window, OpensAFixedSizeGl43WindowWithSilentDebugOutput) {
    testing::internal::CaptureStdout();
    {
        openGL gl(640, 480, 0, false);
        ASSERT_NE(gl.window, nullptr);
        EXPECT_TRUE(gl.initialized);
        GLint major = 0, minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        EXPECT_GE(major * 10 + minor, 43);
        int width = 0, height = 0;
        glfwGetWindowSize(gl.window, &width, &height);
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
        EXPECT_EQ(glfwGetWindowAttrib(gl.window, GLFW_RESIZABLE), GLFW_FALSE);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

        // Turn the driver's reports on and draw a frame: nothing may be reported.
        glEnable(GL_DEBUG_OUTPUT);
        glClearColor(0.1f, 0.2f, 0.3f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        gl.setTitle("title check");
        gl.swapBuffers();
        gl.pollEvents();
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(Window, DriverErrorsAndGlfwErrorsReachTheConsole) {
    openGL gl(320, 240, 0, false);
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    testing::internal::CaptureStdout();
    glBindBuffer(0x1234, 0);  // not a buffer target
    glfwGetWindowAttrib(gl.window, 0x7fffffff);
    const std::string console = testing::internal::GetCapturedStdout();
    glGetError();
    EXPECT_NE(console.find("OpenGL-Error: "), std::string::npos) << console;
    EXPECT_NE(console.find("[Source: API, Type: Error, Severity: High, ID: "), std::string::npos)
        << console;
    EXPECT_NE(console.find("GLFW-Error: "), std::string::npos) << console;
}

TEST(Window, AnImpossibleSizeFailsWithTheWindowMessage) {
    testing::internal::CaptureStdout();
    try {
        openGL gl(0, 480, 0, false);
        FAIL() << "a window of width 0 was created";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "kes::openGL::initWindow - Failed: \"wnd\"");
    }
    EXPECT_NE(testing::internal::GetCapturedStdout().find("GLFW-Error: "), std::string::npos);
    // GLFW was shut down again: a fresh window opens normally.
    openGL again(64, 64, 0, false);
    EXPECT_NE(again.window, nullptr);
}

// A window larger than the screen's work area opens at the largest size of its shape that
// fits, in one line; so does a later resize. A full screen takes the monitor's mode nearest to
// the size asked for.
TEST(Window, AWindowLargerThanTheScreenOpensAtTheLargestSizeThatFits) {
    testing::internal::CaptureStdout();
    std::string expected;
    {
        openGL gl(16384, 16384, 0, false);
        int x = 0, y = 0, areaWidth = 0, areaHeight = 0;
        glfwGetMonitorWorkarea(glfwGetPrimaryMonitor(), &x, &y, &areaWidth, &areaHeight);
        ASSERT_GT(areaWidth, 0);
        const int side = std::min(areaWidth, areaHeight);
        EXPECT_EQ(gl.openedWidth, side);
        EXPECT_EQ(gl.openedHeight, side);
        std::int32_t width = 0, height = 0;
        gl.framebufferSize(width, height);
        EXPECT_EQ(width, side);
        const double scale = std::min(areaWidth / 4000.0, areaHeight / 1000.0);
        gl.resizeWindow(4000, 1000);
        glfwPollEvents();
        int windowWidth = 0, windowHeight = 0;
        glfwGetWindowSize(gl.window, &windowWidth, &windowHeight);
        EXPECT_EQ(windowWidth, static_cast<int>(4000 * scale));
        EXPECT_EQ(windowHeight, static_cast<int>(1000 * scale));
        expected = "A window of 16384 x 16384 does not fit the screen's work area; it opens at " +
                   std::to_string(side) + " x " + std::to_string(side) + "\n";
    }
    {
        openGL full(16384, 16384, 0, true);
        const GLFWvidmode* mode = glfwGetVideoMode(glfwGetPrimaryMonitor());
        EXPECT_EQ(full.openedWidth, mode->width);
        EXPECT_EQ(full.openedHeight, mode->height);
        expected += "The screen has no mode of 16384 x 16384; the game fills it at " +
                    std::to_string(mode->width) + " x " + std::to_string(mode->height) + "\n";
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), expected);
}

TEST(Input, AKeyPressedOnTheWindowReachesTheRegisteredListener) {
    openGL gl(320, 240, 0, false);
    HidDevices hid(gl.window);
    KeyRecorder listener;
    hid.listener = &listener;
    sendKeyPress(gl.window, XK_w);

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (listener.keys.empty() && std::chrono::steady_clock::now() < deadline) {
        hid.poll();
        gl.pollEvents();
    }
    ASSERT_EQ(listener.keys.size(), 1u);
    EXPECT_EQ(listener.keys[0], GLFW_KEY_W);
    EXPECT_EQ(listener.actions[0], GLFW_PRESS);
}

TEST(Input, EventsWithoutAListenerOrWindowAreDroppedWithALine) {
    openGL gl(320, 240, 0, false);
    {
        HidDevices hid(gl.window);
        sendKeyPress(gl.window, XK_a);  // no listener: dropped
        for (int pass = 0; pass < 20; ++pass) {
            gl.pollEvents();
        }
        EXPECT_EQ(glfwGetWindowUserPointer(gl.window), &hid);
    }
    EXPECT_EQ(glfwGetWindowUserPointer(gl.window), nullptr);

    testing::internal::CaptureStdout();
    { HidDevices detached(nullptr); }
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.rfind("wnd: ", 0), 0u);
    EXPECT_NE(console.find("\nwnd: "), std::string::npos);  // once made, once destroyed
}

}  // namespace
}  // namespace kes
