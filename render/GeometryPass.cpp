// The geometry pass: the fragment lists emptied for the frame, then the G-buffer cleared and
// filled with the opaque nodes, every covered pixel marked in the stencil.
#include "render/Renderer.hpp"

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

// Every head pointer becomes "empty" and the node counter 0. The last frame's shaders wrote
// both, so the copies into them wait for those writes.
void Renderer::resetTransparencyLists() {
    glMemoryBarrier(GL_TEXTURE_UPDATE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    const std::uint32_t zero = 0;
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, transparency.counter);
    glBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(zero), &zero);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, transparency.clearBuffer);
    glBindTexture(GL_TEXTURE_2D, transparency.heads.id);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(transparency.width),
                    static_cast<GLsizei>(transparency.height), GL_RED_INTEGER, GL_UNSIGNED_INT,
                    nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

// From here on every fragment that passes the depth test writes stencil 1: stencil 1 marks
// pixels covered by geometry, stencil 0 the background.
void Renderer::beginGeometry() {
    glBindFramebuffer(GL_FRAMEBUFFER, gbuffer.fbo.id);
    glClearDepth(1.0);
    glClearStencil(0);
    const glm::vec3& clear = gbuffer.clearColor;
    glClearColor(clear.r, clear.g, clear.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glEnable(GL_STENCIL_TEST);
}

// The G-buffer's own clear values come from the shader, one full-screen triangle.
void Renderer::clearGBuffer() {
    CapabilityGuard depthTest(GL_DEPTH_TEST, false);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, false);
    glUseProgram(progClearGBuffer.id);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

void Renderer::drawGeometry() {
    m_opaqueNodes.clear();
    m_transparentNodes.clear();
    if (sceneRoot == nullptr) {
        return;
    }
    collectNodes(sceneRoot, m_opaqueNodes, m_transparentNodes);
    for (SceneNode* node : m_opaqueNodes) {
        node->draw(frameData, kDrawGeometry);
    }
}

}  // namespace kes
