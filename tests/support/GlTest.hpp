// A fixture for tests that need a GL context: a small window under Xvfb with the driver's
// debug output switched on and delivered at once, so every GL error lands on the console
// while its call is still on the stack. The console is captured; a test passes only if no
// "OpenGL-Error" line appeared, unless it provokes driver errors on purpose.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "platform/OpenGL.hpp"
#include "support/TempFolder.hpp"

namespace kes::test {

class GlTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The console lines since the last call (or the start of the test).
    std::string takeConsole();
    // For tests that make the driver report an error on purpose.
    void allowDriverErrors() { m_driverErrorsAllowed = true; }

    // Writes "<assets>/shaders/<name>.glsl".
    void writeShader(const std::string& name, const std::string& source) const;

    std::unique_ptr<openGL> gl;
    TempFolder assets;  // a throw-away assets folder with shaders/, meshes/ and textures/

private:
    std::string m_console;
    bool m_driverErrorsAllowed = false;
};

}  // namespace kes::test
