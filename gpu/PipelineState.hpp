// The fixed-function state a draw runs with, written down whole, and the one door through which
// the frame sets it. A pass says the complete state of each of its draws; the cache compares it
// with what GL holds now and issues only the calls that differ, so nothing one pass leaves set
// can leak into the next, and a pass reads as the list of its states.
#pragma once

#include <GL/glew.h>

namespace kes {

// Default-constructed, it is GL's own initial state (and what the frame leaves behind).
struct PipelineState {
    bool depthTest = false;
    bool depthWrite = true;
    GLenum depthFunc = GL_LESS;
    bool stencilTest = false;
    GLenum stencilFunc = GL_ALWAYS;
    GLint stencilRef = 0;
    GLuint stencilReadMask = 0xFFFFFFFFu;
    GLuint stencilWriteMask = 0xFFFFFFFFu;
    GLenum stencilDepthPass = GL_KEEP;  // the operation when stencil and depth tests pass
    bool cull = false;
    GLenum cullFace = GL_BACK;
    GLenum frontFace = GL_CCW;
    bool blend = false;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;
    GLenum polygonMode = GL_FILL;
    bool clipDistance0 = false;

    bool operator==(const PipelineState&) const = default;

    // Copies with one part changed, so a state reads as what it adds to GL's initial one.
    constexpr PipelineState depth(GLenum function, bool write) const {
        PipelineState s = *this;
        s.depthTest = true;
        s.depthFunc = function;
        s.depthWrite = write;
        return s;
    }
    constexpr PipelineState withoutDepthTest() const {
        PipelineState s = *this;
        s.depthTest = false;
        return s;
    }
    constexpr PipelineState withDepthWrite(bool write) const {
        PipelineState s = *this;
        s.depthWrite = write;
        return s;
    }
    // An 8-bit stencil test against `reference`, writing it where `depthPass` says so.
    constexpr PipelineState stencil(GLenum function, GLint reference, GLenum depthPass) const {
        PipelineState s = *this;
        s.stencilTest = true;
        s.stencilFunc = function;
        s.stencilRef = reference;
        s.stencilReadMask = 0xFF;
        s.stencilWriteMask = 0xFF;
        s.stencilDepthPass = depthPass;
        return s;
    }
    constexpr PipelineState withoutStencilTest() const {
        PipelineState s = *this;
        s.stencilTest = false;
        return s;
    }
    constexpr PipelineState culling(GLenum face, GLenum front) const {
        PipelineState s = *this;
        s.cull = true;
        s.cullFace = face;
        s.frontFace = front;
        return s;
    }
    constexpr PipelineState withoutCulling() const {
        PipelineState s = *this;
        s.cull = false;
        return s;
    }
    constexpr PipelineState blending(GLenum source, GLenum destination) const {
        PipelineState s = *this;
        s.blend = true;
        s.blendSource = source;
        s.blendDestination = destination;
        return s;
    }
    constexpr PipelineState withoutBlending() const {
        PipelineState s = *this;
        s.blend = false;
        return s;
    }
    constexpr PipelineState polygons(GLenum mode) const {
        PipelineState s = *this;
        s.polygonMode = mode;
        return s;
    }
    constexpr PipelineState clippedByDistance0() const {
        PipelineState s = *this;
        s.clipDistance0 = true;
        return s;
    }
};

// Knows what GL holds; applies a state by its differences.
class GlStateCache {
public:
    // Sets what differs from the state last applied (everything, after forget()).
    void apply(const PipelineState& state);
    // From now on nothing is assumed about what GL holds: code outside the cache changed it,
    // or a new frame begins.
    void forget() { m_known = false; }
    const PipelineState& current() const { return m_current; }

private:
    PipelineState m_current;
    bool m_known = false;
};

// Reads the state GL holds now; for tests and checks, never per frame.
PipelineState readPipelineState();

}  // namespace kes
