#include "render/FinalPass.hpp"

#include <algorithm>
#include <cmath>

#include "gpu/Bindings.hpp"
#include "render/GeometryPass.hpp"

namespace kes {
namespace {

// The tone curve's exposure; the shader applies it only when told to, and the game never does.
constexpr float kExposure = 0.5f;
constexpr GLuint kApplyBrightness = 1;
constexpr GLuint kApplyExposure = 0;

constexpr PipelineState kImageToWindow = kSurfaceState.withoutDepthTest().withoutStencilTest();

}  // namespace

FinalPass::FinalPass(const std::filesystem::path& assetsFolder, float brightness)
    : m_program(makeShaderPath(assetsFolder, "renderFullscreenTri_vs"),
                makeShaderPath(assetsFolder, "renderFinalFBO_ps"), "renderFinalFBO"),
      m_brightnessLocation(m_program.uniformLocation("brightness")),
      m_exposureLocation(m_program.uniformLocation("exposure")),
      m_enableBrightnessLocation(m_program.uniformLocation("enableBrightness")),
      m_enableExposureLocation(m_program.uniformLocation("enableExposure")),
      m_brightness(brightness) {}

glm::vec3 FinalPass::displayColour(const glm::vec3& light) const {
    const auto filmic = [](float x) {
        return std::clamp((x * (2.51f * x + 0.03f)) / (x * (2.43f * x + 0.59f) + 0.14f), 0.0f,
                          1.0f);
    };
    glm::vec3 shown;
    for (int c = 0; c < 3; ++c) {
        const float scaled = std::max(light[c] * m_brightness, 0.0f);
        shown[c] = std::pow(filmic(scaled), 1.0f / 2.2f);
    }
    return shown;
}

Viewport FinalPass::draw(Frame& frame, GLuint image, GLuint framebuffer, const Viewport& window) {
    frame.state.apply(kImageToWindow);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const Viewport shown = letterbox(static_cast<std::uint32_t>(frame.viewport.width),
                                     static_cast<std::uint32_t>(frame.viewport.height), window);
    if (shown.width != window.width || shown.height != window.height) {
        glViewport(window.x, window.y, window.width, window.height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glViewport(shown.x, shown.y, shown.width, shown.height);
    glUseProgram(m_program.id);
    frame.block.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_2D, image);
    glUniform1f(m_brightnessLocation, m_brightness);
    glUniform1f(m_exposureLocation, kExposure);
    glUniform1ui(m_enableBrightnessLocation, kApplyBrightness);
    glUniform1ui(m_enableExposureLocation, kApplyExposure);
    glBindVertexArray(frame.fullscreen.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    return shown;
}

}  // namespace kes
