// The final pass: the finished HDR image tone-mapped into the window, scaled to fill it with
// its aspect kept.
#include "render/Renderer.hpp"

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

Viewport letterbox(std::uint32_t width, std::uint32_t height, const Viewport& window) {
    if (width == 0 || height == 0 || window.width <= 0 || window.height <= 0) {
        return window;
    }
    // Compared in whole numbers: the side that fills the window is exact.
    const auto wide = std::int64_t{window.width} * height >= std::int64_t{window.height} * width;
    Viewport shown = window;
    if (wide) {
        shown.width = static_cast<std::int32_t>(std::int64_t{window.height} * width / height);
        shown.x += (window.width - shown.width) / 2;
    } else {
        shown.height = static_cast<std::int32_t>(std::int64_t{window.width} * height / width);
        shown.y += (window.height - shown.height) / 2;
    }
    return shown;
}

// The picture scaled into the window with its aspect kept; the bars beside it are black.
void Renderer::drawFinal(GLuint framebuffer, const Viewport& viewport, GLuint image) {
    CapabilityGuard depthTest(GL_DEPTH_TEST, false);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, false);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const Viewport shown = letterbox(mainSize[0], mainSize[1], viewport);
    if (shown.width != viewport.width || shown.height != viewport.height) {
        glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glViewport(shown.x, shown.y, shown.width, shown.height);
    glUseProgram(progRenderFinalFBO.id);
    frameData.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_2D, image);
    glUniform1f(finalLocations.brightness, brightness);
    glUniform1f(finalLocations.exposure, exposure);
    glUniform1ui(finalLocations.enableBrightness, (flags & kEnableBrightness) != 0 ? 1u : 0u);
    glUniform1ui(finalLocations.enableExposure, (flags & kEnableExposure) != 0 ? 1u : 0u);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace kes
