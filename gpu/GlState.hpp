// Remembers whether a capability is on, sets it as a pass needs it and puts it back when the
// pass ends. Guards declared one after another restore in reverse order, which keeps the
// frame's nested state changes balanced.
#pragma once

#include <GL/glew.h>

namespace kes {

class CapabilityGuard {
public:
    CapabilityGuard(GLenum capability, bool enable)
        : m_capability(capability), m_wasEnabled(glIsEnabled(capability) == GL_TRUE) {
        set(enable);
    }
    ~CapabilityGuard() { set(m_wasEnabled); }
    CapabilityGuard(const CapabilityGuard&) = delete;
    CapabilityGuard& operator=(const CapabilityGuard&) = delete;

private:
    void set(bool enable) const {
        if (enable) {
            glEnable(m_capability);
        } else {
            glDisable(m_capability);
        }
    }

    GLenum m_capability;
    bool m_wasEnabled;
};

// Remembers the depth write mask, sets it and puts it back.
class DepthMaskGuard {
public:
    explicit DepthMaskGuard(GLboolean mask) {
        glGetBooleanv(GL_DEPTH_WRITEMASK, &m_previous);
        glDepthMask(mask);
    }
    ~DepthMaskGuard() { glDepthMask(m_previous); }
    DepthMaskGuard(const DepthMaskGuard&) = delete;
    DepthMaskGuard& operator=(const DepthMaskGuard&) = delete;

private:
    GLboolean m_previous = GL_TRUE;
};

// Names a stretch of GL calls for frame debuggers and the debug output: a group is pushed
// when the guard is made and popped when it goes.
class DebugGroup {
public:
    explicit DebugGroup(const char* name) {
        glPushDebugGroup(GL_DEBUG_SOURCE_APPLICATION, 0, -1, name);
    }
    ~DebugGroup() { glPopDebugGroup(); }
    DebugGroup(const DebugGroup&) = delete;
    DebugGroup& operator=(const DebugGroup&) = delete;
};

// Gives a GL object a name that frame debuggers and debug messages show.
inline void labelObject(GLenum identifier, GLuint name, const char* label) {
    glObjectLabel(identifier, name, -1, label);
}

}  // namespace kes
