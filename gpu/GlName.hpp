// The one shape of every GL object the game owns: a name GL made, held by exactly one owner,
// deleted when that owner goes, moved but never copied (a moved-from handle holds 0 and deletes
// nothing). Every wrapper keeps its GL names in these, so none deletes a name by hand. A handle
// reads as the name it holds wherever GL wants one (`glBindTexture(GL_TEXTURE_2D, texture.id)`).
#pragma once

#include <utility>

#include <GL/glew.h>

namespace kes {

namespace gl_kind {
struct Texture {
    static void destroy(GLuint name) { glDeleteTextures(1, &name); }
    static void create(GLuint* name) { glGenTextures(1, name); }
};
struct Buffer {
    static void destroy(GLuint name) { glDeleteBuffers(1, &name); }
    static void create(GLuint* name) { glGenBuffers(1, name); }
};
struct Framebuffer {
    static void destroy(GLuint name) { glDeleteFramebuffers(1, &name); }
    static void create(GLuint* name) { glGenFramebuffers(1, name); }
};
struct Renderbuffer {
    static void destroy(GLuint name) { glDeleteRenderbuffers(1, &name); }
    static void create(GLuint* name) { glGenRenderbuffers(1, name); }
};
struct VertexArray {
    static void destroy(GLuint name) { glDeleteVertexArrays(1, &name); }
    static void create(GLuint* name) { glGenVertexArrays(1, name); }
};
struct Sampler {
    static void destroy(GLuint name) { glDeleteSamplers(1, &name); }
    static void create(GLuint* name) { glGenSamplers(1, name); }
};
struct Query {
    static void destroy(GLuint name) { glDeleteQueries(1, &name); }
    static void create(GLuint* name) { glGenQueries(1, name); }
};
struct Program {
    static void destroy(GLuint name) { glDeleteProgram(name); }
};
struct Shader {
    static void destroy(GLuint name) { glDeleteShader(name); }
};
}  // namespace gl_kind

template <typename Kind>
class GlName {
public:
    GlName() = default;  // holds no name; needs no context
    // Takes ownership of `name` (0 for none).
    explicit GlName(GLuint name) noexcept : m_name(name) {}
    ~GlName() { reset(); }
    GlName(GlName&& other) noexcept : m_name(std::exchange(other.m_name, 0)) {}
    GlName& operator=(GlName&& other) noexcept {
        if (this != &other) {
            reset();
            m_name = std::exchange(other.m_name, 0);
        }
        return *this;
    }
    GlName(const GlName&) = delete;
    GlName& operator=(const GlName&) = delete;

    // A fresh name from GL (0 when GL could not make one).
    static GlName generate() {
        GLuint name = 0;
        Kind::create(&name);
        return GlName(name);
    }

    GLuint id() const { return m_name; }
    operator GLuint() const { return m_name; }  // NOLINT: reads as the name it holds
    // Gives the name up to a caller that takes over its deletion (GL's own records, such as a
    // vertex array's buffer handles, which their array's owner deletes).
    GLuint release() noexcept { return std::exchange(m_name, 0); }
    // Deletes the name now; the handle holds none afterwards.
    void reset() noexcept {
        if (m_name != 0) {
            Kind::destroy(m_name);
            m_name = 0;
        }
    }

private:
    GLuint m_name = 0;
};

using TextureName = GlName<gl_kind::Texture>;
using BufferName = GlName<gl_kind::Buffer>;
using FramebufferName = GlName<gl_kind::Framebuffer>;
using RenderbufferName = GlName<gl_kind::Renderbuffer>;
using VertexArrayName = GlName<gl_kind::VertexArray>;
using SamplerName = GlName<gl_kind::Sampler>;
using QueryName = GlName<gl_kind::Query>;
using ProgramName = GlName<gl_kind::Program>;
using ShaderName = GlName<gl_kind::Shader>;

}  // namespace kes
