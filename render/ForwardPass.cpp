#include "render/ForwardPass.hpp"

#include "render/ViewFrustum.hpp"

namespace kes {
namespace {

// The surfaces' winding and depth as in the deferred frame; nothing reads the stencil here.
constexpr PipelineState kLitSurfaces = PipelineState{}.depth(GL_LESS, true).culling(GL_BACK, GL_CW);
// The sky box lies on the far plane: it passes only where the depth is still the clear value.
constexpr PipelineState kSkyBehind =
    PipelineState{}.depth(GL_LEQUAL, false).culling(GL_BACK, GL_CW);

}  // namespace

void ForwardPass::draw(Frame& frame, const std::vector<SceneNode*>& opaqueNodes,
                       const Sky& sky) const {
    glBindFramebuffer(GL_FRAMEBUFFER, frame.hdr.fbo.id);
    frame.setViewport();
    // The colour needs no clear: the sky covers every pixel no surface does. Depth and stencil
    // share one buffer, which clears fastest whole.
    frame.state.apply(kLitSurfaces);
    glClearDepth(1.0);
    glClearStencil(0);
    glClear(GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);

    frame.lights.bindLights();
    const ViewFrustum view(frame.block.data.viewProj);
    for (SceneNode* node : opaqueNodes) {
        node->draw(frame.block, kDrawForward, &view);
    }
    sky.draw(frame, kSkyBehind, SkyDetail::small);
}

}  // namespace kes
