// The transparency pass: translucent nodes, lit as they are drawn, and the race-course tube
// appended to the per-pixel fragment lists.
#include "render/Renderer.hpp"

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

namespace {

constexpr glm::vec3 kPathWireColour{0.225f, 0.585f, 1.305f};
constexpr float kPathWireAlpha = 0.5f;
constexpr glm::vec3 kPathFillColour{0.105f, 0.273f, 0.609f};
constexpr float kPathFillAlpha = 0.45f;

}  // namespace

// Translucent nodes are lit as they are drawn and appended to the fragment lists; both faces
// count, and they write no depth, so they never hide one another.
void Renderer::drawTransparentNodes() {
    glBindFramebuffer(GL_FRAMEBUFFER, transparencyFramebuffer.id);
    transparency.bind();
    CapabilityGuard culling(GL_CULL_FACE, false);
    CapabilityGuard depthTest(GL_DEPTH_TEST, true);
    DepthMaskGuard depthWrites(GL_FALSE);
    bindLights();
    bindShadows(unit::kTransparentShadowMaps);
    for (SceneNode* node : m_transparentNodes) {
        node->draw(frameData, kDrawTransparent);
    }
    glActiveTexture(GL_TEXTURE0 + unit::kTransparentShadowMaps);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    TransparencyBuffers::unbind();
}

// The tube twice into the fragment lists: a bright wire grid, then a darker skin. Every pixel
// it covers gets stencil 1, so the lighting pass resolves it over the sky as well.
void Renderer::drawPath() {
    glBindFramebuffer(GL_FRAMEBUFFER, transparencyFramebuffer.id);
    transparency.bind();
    CapabilityGuard culling(GL_CULL_FACE, false);
    CapabilityGuard depthTest(GL_DEPTH_TEST, true);
    DepthMaskGuard depthWrites(GL_FALSE);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    // The tube's vertex stage clips away what lies wholly beyond its fade.
    CapabilityGuard clipBeyondFade(GL_CLIP_DISTANCE0, true);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    pathMesh->draw(frameData, kPathWireColour, kPathWireAlpha);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    pathMesh->draw(frameData, kPathFillColour, kPathFillAlpha);
}

}  // namespace kes
