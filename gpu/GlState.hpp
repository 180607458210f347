// Debug groups and object labels: what makes a frame capture in a GL debugger read like the
// frame. (The fixed-function state itself goes through gpu/PipelineState.hpp.)
#pragma once

#include <GL/glew.h>

namespace kes {

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
