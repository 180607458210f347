#include "support/GlTest.hpp"

#include <iostream>

#include <filesystem>

namespace kes::test {

void GlTest::SetUp() {
    gl = std::make_unique<openGL>(256, 256, 0, false);
    glEnable(GL_DEBUG_OUTPUT);
    glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
    for (const char* folder : {"shaders", "meshes", "textures/cubemap"}) {
        std::filesystem::create_directories(assets.path() / folder);
    }
    testing::internal::CaptureStdout();
}

void GlTest::TearDown() {
    gl.reset();
    m_console += testing::internal::GetCapturedStdout();
    if (!m_driverErrorsAllowed) {
        EXPECT_EQ(m_console.find("OpenGL-Error"), std::string::npos) << m_console;
    }
    // The failures' own lines went into the captured console: show it.
    if (HasFailure()) {
        std::cerr << m_console;
    }
}

std::string GlTest::takeConsole() {
    std::string console = testing::internal::GetCapturedStdout();
    m_console += console;
    testing::internal::CaptureStdout();
    return console;
}

void GlTest::writeShader(const std::string& name, const std::string& source) const {
    assets.write("shaders/" + name + ".glsl", source);
}

}  // namespace kes::test
