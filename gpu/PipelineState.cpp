#include "gpu/PipelineState.hpp"

namespace kes {
namespace {

void setEnabled(GLenum capability, bool enable) {
    if (enable) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

}  // namespace

void GlStateCache::apply(const PipelineState& s) {
    const PipelineState& c = m_current;
    const bool all = !m_known;
    if (all || s.depthTest != c.depthTest) {
        setEnabled(GL_DEPTH_TEST, s.depthTest);
    }
    if (all || s.depthWrite != c.depthWrite) {
        glDepthMask(s.depthWrite ? GL_TRUE : GL_FALSE);
    }
    if (all || s.depthFunc != c.depthFunc) {
        glDepthFunc(s.depthFunc);
    }
    if (all || s.stencilTest != c.stencilTest) {
        setEnabled(GL_STENCIL_TEST, s.stencilTest);
    }
    if (all || s.stencilFunc != c.stencilFunc || s.stencilRef != c.stencilRef ||
        s.stencilReadMask != c.stencilReadMask) {
        glStencilFunc(s.stencilFunc, s.stencilRef, s.stencilReadMask);
    }
    if (all || s.stencilWriteMask != c.stencilWriteMask) {
        glStencilMask(s.stencilWriteMask);
    }
    if (all || s.stencilDepthPass != c.stencilDepthPass) {
        glStencilOp(GL_KEEP, GL_KEEP, s.stencilDepthPass);
    }
    if (all || s.cull != c.cull) {
        setEnabled(GL_CULL_FACE, s.cull);
    }
    if (all || s.cullFace != c.cullFace) {
        glCullFace(s.cullFace);
    }
    if (all || s.frontFace != c.frontFace) {
        glFrontFace(s.frontFace);
    }
    if (all || s.blend != c.blend) {
        setEnabled(GL_BLEND, s.blend);
    }
    if (all || s.blendSource != c.blendSource || s.blendDestination != c.blendDestination) {
        glBlendFunc(s.blendSource, s.blendDestination);
    }
    if (all || s.polygonMode != c.polygonMode) {
        glPolygonMode(GL_FRONT_AND_BACK, s.polygonMode);
    }
    if (all || s.clipDistance0 != c.clipDistance0) {
        setEnabled(GL_CLIP_DISTANCE0, s.clipDistance0);
    }
    m_current = s;
    m_known = true;
}

PipelineState readPipelineState() {
    const auto integer = [](GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return value;
    };
    // Masks are unsigned: read as a 32-bit integer they would be clamped to its largest value.
    const auto mask = [](GLenum name) {
        GLint64 value = 0;
        glGetInteger64v(name, &value);
        return static_cast<GLuint>(value);
    };
    const auto enabled = [](GLenum capability) { return glIsEnabled(capability) == GL_TRUE; };
    GLboolean depthWrite = GL_TRUE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrite);
    GLint polygonModes[2] = {GL_FILL, GL_FILL};
    glGetIntegerv(GL_POLYGON_MODE, polygonModes);
    PipelineState s;
    s.depthTest = enabled(GL_DEPTH_TEST);
    s.depthWrite = depthWrite == GL_TRUE;
    s.depthFunc = static_cast<GLenum>(integer(GL_DEPTH_FUNC));
    s.stencilTest = enabled(GL_STENCIL_TEST);
    s.stencilFunc = static_cast<GLenum>(integer(GL_STENCIL_FUNC));
    s.stencilRef = integer(GL_STENCIL_REF);
    s.stencilReadMask = mask(GL_STENCIL_VALUE_MASK);
    s.stencilWriteMask = mask(GL_STENCIL_WRITEMASK);
    s.stencilDepthPass = static_cast<GLenum>(integer(GL_STENCIL_PASS_DEPTH_PASS));
    s.cull = enabled(GL_CULL_FACE);
    s.cullFace = static_cast<GLenum>(integer(GL_CULL_FACE_MODE));
    s.frontFace = static_cast<GLenum>(integer(GL_FRONT_FACE));
    s.blend = enabled(GL_BLEND);
    s.blendSource = static_cast<GLenum>(integer(GL_BLEND_SRC_RGB));
    s.blendDestination = static_cast<GLenum>(integer(GL_BLEND_DST_RGB));
    s.polygonMode = static_cast<GLenum>(polygonModes[0]);
    s.clipDistance0 = enabled(GL_CLIP_DISTANCE0);
    return s;
}

}  // namespace kes
