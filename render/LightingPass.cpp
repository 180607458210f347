// The lighting pass: the sky on the background pixels, then the covered ones lit from the
// G-buffer with the fragment lists resolved over them, into the HDR image.
#include "render/Renderer.hpp"

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

// Only background pixels (stencil 0) receive the sky.
void Renderer::drawSkybox() {
    glStencilFunc(GL_EQUAL, 0, 0xFF);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    glUseProgram(progRenderSkybox.id);
    frameData.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skyboxTexture.id);
    glBindVertexArray(skyboxCube.id);
    glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

// Shades the covered pixels (stencil 1) from the G-buffer and blends them over the sky.
void Renderer::drawLighting() {
    glStencilFunc(GL_EQUAL, 1, 0xFF);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    CapabilityGuard blend(GL_BLEND, true);
    glUseProgram(progRenderGBuffers.id);
    gbuffer.bindTextures();
    frameData.bind();
    bindLights();
    transparency.bind();
    bindShadows(unit::kLightingShadowMaps);
    glActiveTexture(GL_TEXTURE0 + unit::kLightingSky);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skyboxTexture.id);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);

    TransparencyBuffers::unbind();
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glActiveTexture(GL_TEXTURE0 + unit::kLightingShadowMaps);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    gbuffer.unbindTextures();
}

}  // namespace kes
