#include "gpu/Buffers.hpp"

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <utility>

#include "gpu/GlErrors.hpp"

namespace kes {
namespace {

struct Attribute {
    GLint components;
    GLenum type;
    std::size_t offset;
    bool integer;  // read as an integer (glVertexAttribIPointer), not a float
};

template <typename Vertex>
struct Layout;

template <>
struct Layout<VertexPos> {
    // A single tightly packed attribute: GL works the stride out itself.
    static constexpr GLsizei stride = 0;
    static constexpr std::array<Attribute, 1> attributes{{{3, GL_FLOAT, 0, false}}};
};

template <>
struct Layout<VertexPosColor> {
    static constexpr GLsizei stride = sizeof(VertexPosColor);
    static constexpr std::array<Attribute, 2> attributes{
        {{3, GL_FLOAT, offsetof(VertexPosColor, position), false},
         {1, GL_UNSIGNED_INT, offsetof(VertexPosColor, color), true}}};
};

template <>
struct Layout<VertexPosUV> {
    static constexpr GLsizei stride = sizeof(VertexPosUV);
    static constexpr std::array<Attribute, 2> attributes{
        {{3, GL_FLOAT, offsetof(VertexPosUV, position), false},
         {2, GL_FLOAT, offsetof(VertexPosUV, uv), false}}};
};

template <>
struct Layout<VertexPosVec3> {
    static constexpr GLsizei stride = sizeof(VertexPosVec3);
    static constexpr std::array<Attribute, 2> attributes{
        {{3, GL_FLOAT, offsetof(VertexPosVec3, position), false},
         {3, GL_FLOAT, offsetof(VertexPosVec3, vector), false}}};
};

template <>
struct Layout<VertexPosNormalUV> {
    static constexpr GLsizei stride = sizeof(VertexPosNormalUV);
    static constexpr std::array<Attribute, 3> attributes{
        {{3, GL_FLOAT, offsetof(VertexPosNormalUV, position), false},
         {3, GL_FLOAT, offsetof(VertexPosNormalUV, normal), false},
         {2, GL_FLOAT, offsetof(VertexPosNormalUV, uv), false}}};
};

template <>
struct Layout<MeshVertex> {
    static constexpr GLsizei stride = sizeof(MeshVertex);
    static constexpr std::array<Attribute, 5> attributes{
        {{3, GL_FLOAT, offsetof(MeshVertex, position), false},
         {3, GL_FLOAT, offsetof(MeshVertex, normal), false},
         {3, GL_FLOAT, offsetof(MeshVertex, tangent), false},
         {3, GL_FLOAT, offsetof(MeshVertex, bitangent), false},
         {2, GL_FLOAT, offsetof(MeshVertex, uv), false}}};
};

template <typename Vertex>
void recordLayout() {
    GLuint location = 0;
    for (const Attribute& attribute : Layout<Vertex>::attributes) {
        const auto* offset = reinterpret_cast<const void*>(attribute.offset);
        if (attribute.integer) {
            glVertexAttribIPointer(location, attribute.components, attribute.type,
                                   Layout<Vertex>::stride, offset);
        } else {
            glVertexAttribPointer(location, attribute.components, attribute.type, GL_FALSE,
                                  Layout<Vertex>::stride, offset);
        }
        glEnableVertexAttribArray(location);
        ++location;
    }
}

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(what);
}

template <typename Vertex>
GLuint createVertexbufferOf(const std::vector<Vertex>& vertices, GLuint vao) {
    if (vertices.empty()) {
        fail("kes::vbo::createVertexbuffer - No vertices speicified");
    }
    takeEarlierGlErrors("kes::vbo::createVertexbuffer");
    BufferName id = BufferName::generate();
    if (id == 0) {
        fail("kes::vbo::createVertexbuffer - glGenBuffers() failed");
    }
    glBindVertexArray(vao);
    glBindBuffer(GL_ARRAY_BUFFER, id);
    if (glGetError() != GL_NO_ERROR) {
        glBindVertexArray(0);
        fail("kes::vbo::createVertexbuffer - glBindBuffer() failed");
    }
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                 vertices.data(), GL_STATIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glBindVertexArray(0);
        fail("kes::vbo::createVertexbuffer - glBufferData() failed");
    }
    if (vao != 0) {
        recordLayout<Vertex>();
        glBindVertexArray(0);
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return id.release();  // the caller's vertex array deletes it
}

}  // namespace

GLuint vbo::createVertexbuffer(const std::vector<VertexPos>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}
GLuint vbo::createVertexbuffer(const std::vector<VertexPosColor>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}
GLuint vbo::createVertexbuffer(const std::vector<VertexPosUV>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}
GLuint vbo::createVertexbuffer(const std::vector<VertexPosVec3>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}
GLuint vbo::createVertexbuffer(const std::vector<VertexPosNormalUV>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}
GLuint vbo::createVertexbuffer(const std::vector<MeshVertex>& vertices, GLuint vao) {
    return createVertexbufferOf(vertices, vao);
}

vbo vbo::createIndexbuffer(const std::vector<std::uint16_t>& indices, GLuint vao) {
    if (indices.empty()) {
        return {};
    }
    takeEarlierGlErrors("kes::vbo::createIndexbuffer");
    glBindVertexArray(vao);
    BufferName id = BufferName::generate();
    if (id == 0) {
        glBindVertexArray(0);
        fail("kes::vbo::createIndexbuffer - glGenBuffers() failed");
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, id);
    if (glGetError() != GL_NO_ERROR) {
        glBindVertexArray(0);
        fail("kes::vbo::createIndexbuffer - glBindBuffer() failed");
    }
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint16_t)), indices.data(),
                 GL_STATIC_DRAW);
    if (glGetError() != GL_NO_ERROR) {
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
        glBindVertexArray(0);
        fail("kes::vbo::createIndexbuffer - glBufferData() failed");
    }
    // The element binding belongs to the vertex array: unbind the array first, or resetting
    // the binding would detach the index buffer from it.
    if (vao != 0) {
        glBindVertexArray(0);
    }
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    return {id.release(), static_cast<GLuint>(indices.size())};  // the vertex array deletes it
}

VAO::VAO() {
    createVAO();
}

VAO::VAO(const std::vector<VertexPos>& vertexList, const std::vector<std::uint16_t>& indexList) {
    createBuffers(vertexList, indexList);
}
VAO::VAO(const std::vector<VertexPosColor>& vertexList) {
    createBuffers(vertexList, {});
}
VAO::VAO(const std::vector<VertexPosUV>& vertexList, const std::vector<std::uint16_t>& indexList) {
    createBuffers(vertexList, indexList);
}
VAO::VAO(const std::vector<VertexPosVec3>& vertexList,
         const std::vector<std::uint16_t>& indexList) {
    createBuffers(vertexList, indexList);
}
VAO::VAO(const std::vector<VertexPosNormalUV>& vertexList,
         const std::vector<std::uint16_t>& indexList) {
    createBuffers(vertexList, indexList);
}
VAO::VAO(const std::vector<MeshVertex>& vertexList, const std::vector<std::uint16_t>& indexList) {
    createBuffers(vertexList, indexList);
}

void VAO::createVAO() {
    id = VertexArrayName::generate();
    if (id == 0) {
        fail("kes::VAO::createVAO - glGenVertexArrays() failed");
    }
}

template <typename Vertex>
void VAO::createBuffers(const std::vector<Vertex>& vertexList,
                        const std::vector<std::uint16_t>& indexList) {
    createVAO();
    // Owned at once: a later step that throws leaves them to the members' destructors.
    vertices.id = vbo::createVertexbuffer(vertexList, id);
    vertices.count = static_cast<GLuint>(vertexList.size());
    m_vertexBuffer = BufferName(vertices.id);
    indices = vbo::createIndexbuffer(indexList, id);
    m_indexBuffer = BufferName(indices.id);
}

VAO::VAO(VAO&& other) noexcept
    : id(std::move(other.id)),
      vertices(std::exchange(other.vertices, {})),
      indices(std::exchange(other.indices, {})),
      m_vertexBuffer(std::move(other.m_vertexBuffer)),
      m_indexBuffer(std::move(other.m_indexBuffer)) {}

VAO& VAO::operator=(VAO&& other) noexcept {
    if (this != &other) {
        id = std::move(other.id);
        vertices = std::exchange(other.vertices, {});
        indices = std::exchange(other.indices, {});
        m_vertexBuffer = std::move(other.m_vertexBuffer);
        m_indexBuffer = std::move(other.m_indexBuffer);
    }
    return *this;
}

void VAO::draw(GLenum mode) const {
    glBindVertexArray(id);
    if (indices.count != 0) {
        glDrawElements(mode, static_cast<GLsizei>(indices.count), GL_UNSIGNED_SHORT, nullptr);
    } else {
        glDrawArrays(mode, 0, static_cast<GLsizei>(vertices.count));
    }
}

template <typename Vertex>
StreamVAO<Vertex>::StreamVAO()
    : m_array(VertexArrayName::generate()),
      m_vertices(BufferName::generate()),
      m_indices(BufferName::generate()) {
    if (m_array == 0 || m_vertices == 0 || m_indices == 0) {
        fail("kes::StreamVAO - couldn't make the vertex array and its buffers");
    }
    glBindVertexArray(m_array);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertices);
    recordLayout<Vertex>();
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indices);  // recorded in the array
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

namespace {

// Writes `items` to the start of the buffer bound at `target`, first making it twice their
// size when it holds fewer.
template <typename Item>
void streamInto(GLenum target, const std::vector<Item>& items, std::size_t& capacity) {
    const auto bytes = static_cast<GLsizeiptr>(items.size() * sizeof(Item));
    if (items.size() > capacity) {
        capacity = items.size() * 2;
        glBufferData(target, static_cast<GLsizeiptr>(capacity * sizeof(Item)), nullptr,
                     GL_STREAM_DRAW);
    }
    glBufferSubData(target, 0, bytes, items.data());
}

}  // namespace

template <typename Vertex>
void StreamVAO<Vertex>::upload(const std::vector<Vertex>& vertexList,
                               const std::vector<std::uint16_t>& indexList) {
    if (vertexList.empty() || indexList.empty()) {
        return;
    }
    glBindVertexArray(m_array);
    glBindBuffer(GL_ARRAY_BUFFER, m_vertices);
    streamInto(GL_ARRAY_BUFFER, vertexList, m_vertexCapacity);
    streamInto(GL_ELEMENT_ARRAY_BUFFER, indexList, m_indexCapacity);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindVertexArray(0);
}

template <typename Vertex>
void StreamVAO<Vertex>::drawRange(GLenum mode, std::size_t first, std::size_t count,
                                  std::size_t baseVertex) const {
    glBindVertexArray(m_array);
    glDrawElementsBaseVertex(mode, static_cast<GLsizei>(count), GL_UNSIGNED_SHORT,
                             reinterpret_cast<const void*>(first * sizeof(std::uint16_t)),
                             static_cast<GLint>(baseVertex));
}

template class StreamVAO<VertexPosUV>;
template class StreamVAO<VertexPosColor>;

}  // namespace kes
