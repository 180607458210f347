#include "render/GeometryPass.hpp"

#include "render/ViewFrustum.hpp"

namespace kes {
namespace {

constexpr PipelineState kClearTriangle = kSurfaceState.withoutDepthTest().withoutStencilTest();

}  // namespace

GeometryPass::GeometryPass(const std::filesystem::path& assetsFolder)
    : m_assetsFolder(assetsFolder) {}

const Program& GeometryPass::clearProgram() {
    if (!m_clear) {
        m_clear.emplace(makeShaderPath(m_assetsFolder, "renderFullscreenTri_vs"),
                        makeShaderPath(m_assetsFolder, "clearGBuffer_ps"), "progClearGBuffer");
    }
    return *m_clear;
}

// The clear respects the depth and stencil write masks, so the surfaces' state (which writes
// both) is set first.
void GeometryPass::draw(Frame& frame, const std::vector<SceneNode*>& opaqueNodes) {
    glBindFramebuffer(GL_FRAMEBUFFER, frame.gbuffer->fbo.id);
    frame.state.apply(kSurfaceState);
    glClearDepth(1.0);
    glClearStencil(0);
    const glm::vec3& clear = frame.gbuffer->clearColor;
    glClearColor(clear.r, clear.g, clear.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    frame.state.apply(kClearTriangle);
    glUseProgram(clearProgram().id);
    glBindVertexArray(frame.fullscreen.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);

    frame.state.apply(kSurfaceState);
    const ViewFrustum view(frame.block.data.viewProj);
    for (SceneNode* node : opaqueNodes) {
        node->draw(frame.block, kDrawGeometry, &view);
    }
}

}  // namespace kes
