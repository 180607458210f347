#include "render/LightingPass.hpp"

#include <string>

#include "gpu/Bindings.hpp"
#include "render/GeometryPass.hpp"

namespace kes {
namespace {

// Full-screen draws over what the geometry pass marked: no depth test, the G-buffer's culling
// (the sky cube is seen from inside), the stencil selecting the pixels.
constexpr PipelineState kSky = kSurfaceState.withoutDepthTest().stencil(GL_EQUAL, 0, GL_REPLACE);
constexpr PipelineState kLitSurfaces = kSurfaceState.withoutDepthTest()
                                           .stencil(GL_EQUAL, 1, GL_REPLACE)
                                           .blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

}  // namespace

LightingPass::LightingPass(const std::filesystem::path& assetsFolder, const Sky& sky)
    : m_assetsFolder(assetsFolder), m_sky(sky) {}

const Program& LightingPass::lightingProgram() {
    std::optional<Program>& program = m_lighting[static_cast<std::size_t>(m_level)];
    if (!program) {
        program.emplace(makeShaderPath(m_assetsFolder, "renderFullscreenTri_vs"),
                        makeShaderPath(m_assetsFolder, "renderGbuffers_ps"),
                        std::string("renderGBuffers (") + toString(m_level) + ")",
                        lightingDefines(m_level));
    }
    return *program;
}

void LightingPass::clearImage(Frame& frame) {
    glBindFramebuffer(GL_FRAMEBUFFER, frame.hdr.fbo.id);
    const glm::vec3& background = frame.hdr.clearColor;
    glClearColor(background.r, background.g, background.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    frame.setViewport();
}

void LightingPass::draw(Frame& frame, const ShadowPass& shadows) {
    m_sky.draw(frame, kSky);
    drawSurfaces(frame, shadows);
}

void LightingPass::drawSurfaces(Frame& frame, const ShadowPass& shadows) {
    frame.state.apply(kLitSurfaces);
    glUseProgram(lightingProgram().id);
    frame.gbuffer->bindTextures();
    frame.block.bind();
    frame.lights.bindLights();
    if (frame.lists) {
        frame.lists->bind();
    }
    shadows.bind(frame, unit::kLightingShadowMaps);
    glActiveTexture(GL_TEXTURE0 + unit::kLightingSky);
    glBindTexture(GL_TEXTURE_CUBE_MAP, m_sky.cube().id);
    glBindVertexArray(frame.fullscreen.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);

    TransparencyBuffers::unbind();
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    ShadowPass::unbind(unit::kLightingShadowMaps);
    GBuffer::unbindTextures();
}

void LightingPass::makeMipmaps(Frame& frame) {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, frame.hdr.colour.id);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace kes
