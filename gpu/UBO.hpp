// A uniform block kept in CPU memory next to its buffer, which it owns (move-only). The owner
// decides when to upload it and binds it before drawing.
#pragma once

#include <stdexcept>
#include <string>

#include <GL/glew.h>

#include "gpu/GlErrors.hpp"
#include "gpu/GlName.hpp"

namespace kes {

// T names itself through a static `kTypeName`, which the failure messages quote.
template <typename T>
class UBO {
public:
    // The buffer is as large as the shader's std140 block, which rounds its size up to whole
    // 16 bytes: a buffer of only sizeof(T) would leave the block's tail outside it.
    static constexpr GLsizeiptr kBufferSize = (sizeof(T) + 15) / 16 * 16;

    explicit UBO(GLuint bindingPoint_) : bindingPoint(bindingPoint_) { makeBuffer(); }

    // Rewrites the whole block on the GPU.
    void upload() const {
        glBindBuffer(GL_UNIFORM_BUFFER, id);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(T), &data);
        glBindBuffer(GL_UNIFORM_BUFFER, 0);
    }
    void bind() const { glBindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, id); }

    T data{};
    BufferName id;
    GLuint bindingPoint;

private:
    [[noreturn]] static void fail(const char* what) {
        throw std::runtime_error(std::string("kes::UBO<struct ") + T::kTypeName +
                                 ">::makeBuffer - " + what);
    }

    void makeBuffer() {
        takeEarlierGlErrors("kes::UBO::makeBuffer");
        id = BufferName::generate();
        if (id == 0) {
            fail("glGenBuffers() failed");
        }
        glBindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, id);
        if (glGetError() != GL_NO_ERROR) {
            id.reset();
            fail("glBindBufferBase() failed");
        }
        // Dynamic: the per-frame and shadow blocks are rewritten every frame.
        glBufferData(GL_UNIFORM_BUFFER, kBufferSize, nullptr, GL_DYNAMIC_DRAW);
        glBufferSubData(GL_UNIFORM_BUFFER, 0, sizeof(T), &data);
        if (glGetError() != GL_NO_ERROR) {
            glBindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, 0);
            id.reset();
            fail("glBufferData() failed");
        }
        glObjectLabel(GL_BUFFER, id, -1, T::kTypeName);
        // Attached again by bind() before drawing.
        glBindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, 0);
    }
};

}  // namespace kes
