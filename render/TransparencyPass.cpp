#include "render/TransparencyPass.hpp"

#include "gpu/Bindings.hpp"
#include "render/GeometryPass.hpp"

namespace kes {
namespace {

constexpr TubeLayer kTubeWireLayer{{0.225f, 0.585f, 1.305f}, 0.5f, true};
constexpr TubeLayer kTubeSkinLayer{{0.105f, 0.273f, 0.609f}, 0.45f, false};

// Both faces count, and nothing translucent writes depth, so no translucent surface ever hides
// another: the lists sort them.
constexpr PipelineState kTranslucent = kSurfaceState.withoutCulling().withDepthWrite(false);
// The tube's vertex stage clips away what lies wholly beyond its fade.
constexpr PipelineState kTubeSkin = kTranslucent.clippedByDistance0();
constexpr PipelineState kTubeWires = kTubeSkin.polygons(GL_LINE);
constexpr PipelineState kAddedTubeSkin =
    PipelineState{}.depth(GL_LESS, false).clippedByDistance0().blending(GL_ONE, GL_ONE);
constexpr PipelineState kAddedTubeWires = kAddedTubeSkin.polygons(GL_LINE);
constexpr PipelineState kBlendedTranslucent =
    kTranslucent.withoutStencilTest().blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
constexpr PipelineState kBlendedTubeSkin =
    kAddedTubeSkin.blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
constexpr PipelineState kBlendedTubeWires = kBlendedTubeSkin.polygons(GL_LINE);

FBO depthStencilFramebuffer(GLuint renderbuffer) {
    FBO fbo;
    fbo.makeFramebufferWithDStencil(renderbuffer);
    return fbo;
}

}  // namespace

TransparencyPass::TransparencyPass(const Frame& frame)
    : m_depthStencilOnly(depthStencilFramebuffer(frame.depthStencil.id)) {}

void TransparencyPass::attach(const Frame& frame) {
    m_depthStencilOnly = depthStencilFramebuffer(frame.depthStencil.id);
}

void TransparencyPass::resetLists(Frame& frame) {
    if (!frame.lists) {
        return;
    }
    const TransparencyBuffers& lists = *frame.lists;
    glMemoryBarrier(GL_TEXTURE_UPDATE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    const std::uint32_t zero = 0;
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, lists.counter);
    glBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(zero), &zero);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, lists.clearBuffer);
    glBindTexture(GL_TEXTURE_2D, lists.heads.id);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(lists.width),
                    static_cast<GLsizei>(lists.height), GL_RED_INTEGER, GL_UNSIGNED_INT, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

void TransparencyPass::draw(Frame& frame, const std::vector<SceneNode*>& translucentNodes,
                            const ShadowPass& shadows) {
    if (!frame.lists) {
        return;  // the nodes and the tube go over the lit picture instead (drawWithoutLists)
    }
    if (!translucentNodes.empty()) {
        drawNodes(frame, translucentNodes, shadows);
    }
    if (m_path != nullptr) {
        drawPath(frame);
    }
}

// A level without lists (low) adds the tube's colour, depth-tested against the scene, then
// blends its few translucent nodes (the ghost ship) over it, unsorted: seen from inside the
// tube, its walls lie around and behind what flies in it, and an added wall in front would wash
// a translucent ship out to white.
void TransparencyPass::drawWithoutLists(Frame& frame,
                                        const std::vector<SceneNode*>& translucentNodes,
                                        const ShadowPass& shadows) {
    if (frame.lists) {
        return;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, frame.hdr.fbo.id);
    drawAdditiveTube(frame);
    if (!translucentNodes.empty()) {
        frame.state.apply(kBlendedTranslucent);
        frame.lights.bindLights();
        shadows.bind(frame, unit::kTransparentShadowMaps);
        for (SceneNode* node : translucentNodes) {
            node->draw(frame.block, kDrawTransparentBlended);
        }
        ShadowPass::unbind(unit::kTransparentShadowMaps);
    }
}

void TransparencyPass::drawBlended(Frame& frame, const std::vector<SceneNode*>& translucentNodes) {
    glBindFramebuffer(GL_FRAMEBUFFER, frame.hdr.fbo.id);
    if (m_path != nullptr) {
        const ViewFrustum view(frame.block.data.viewProj);
        frame.state.apply(kBlendedTubeSkin);
        m_path->drawVisible(frame.block, kTubeSkinLayer, view);
        frame.state.apply(kBlendedTubeWires);
        m_path->drawVisible(frame.block, kTubeWireLayer, view);
    }
    if (!translucentNodes.empty()) {
        frame.state.apply(kBlendedTranslucent);
        frame.lights.bindLights();
        for (SceneNode* node : translucentNodes) {
            node->draw(frame.block, kDrawForward);
        }
    }
}

// The low quality level's tube: its wires and skin add up where the walls overlap.
void TransparencyPass::drawAdditiveTube(Frame& frame) {
    if (m_path == nullptr) {
        return;
    }
    frame.state.apply(kAddedTubeWires);
    m_path->draw(frame.block, kTubeWireLayer, TubeBlend::additive);
    frame.state.apply(kAddedTubeSkin);
    m_path->draw(frame.block, kTubeSkinLayer, TubeBlend::additive);
}

// Translucent nodes are lit as they are drawn, then appended.
void TransparencyPass::drawNodes(Frame& frame, const std::vector<SceneNode*>& nodes,
                                 const ShadowPass& shadows) {
    glBindFramebuffer(GL_FRAMEBUFFER, m_depthStencilOnly.id);
    frame.lists->bind();
    frame.state.apply(kTranslucent);
    frame.lights.bindLights();
    shadows.bind(frame, unit::kTransparentShadowMaps);
    for (SceneNode* node : nodes) {
        node->draw(frame.block, kDrawTransparent);
    }
    ShadowPass::unbind(unit::kTransparentShadowMaps);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    TransparencyBuffers::unbind();
}

// The tube twice: the bright wire grid, then the darker skin.
void TransparencyPass::drawPath(Frame& frame) {
    glBindFramebuffer(GL_FRAMEBUFFER, m_depthStencilOnly.id);
    frame.lists->bind();
    frame.state.apply(kTubeWires);
    m_path->draw(frame.block, kTubeWireLayer);
    frame.state.apply(kTubeSkin);
    m_path->draw(frame.block, kTubeSkinLayer);
}

}  // namespace kes
