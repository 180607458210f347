// Vertex and index buffers and the vertex arrays that tie them together. Indices are always
// 16-bit, so one piece of geometry addresses at most 65 536 vertices.
#pragma once

#include <cstdint>
#include <vector>

#include <GL/glew.h>

#include "gpu/GlName.hpp"
#include "gpu/Vertex.hpp"

namespace kes {

// The handle of one buffer; the vertex array that holds it deletes it.
struct vbo {
    GLuint id = 0;
    GLuint count = 0;  // vertices or indices

    // Creates and fills a vertex buffer; when `vao` is not 0 the type's attribute layout is
    // recorded in it. Returns the buffer name. Throws on an empty list or a GL failure.
    static GLuint createVertexbuffer(const std::vector<VertexPos>& vertices, GLuint vao);
    static GLuint createVertexbuffer(const std::vector<VertexPosColor>& vertices, GLuint vao);
    static GLuint createVertexbuffer(const std::vector<VertexPosUV>& vertices, GLuint vao);
    static GLuint createVertexbuffer(const std::vector<VertexPosVec3>& vertices, GLuint vao);
    static GLuint createVertexbuffer(const std::vector<VertexPosNormalUV>& vertices, GLuint vao);
    static GLuint createVertexbuffer(const std::vector<MeshVertex>& vertices, GLuint vao);

    // Creates the index buffer of `vao`; an empty list gives {0, 0} and touches nothing.
    static vbo createIndexbuffer(const std::vector<std::uint16_t>& indices, GLuint vao);
};

// A vertex array with the buffers it owns. Drawing: bind it, then glDrawElements with the
// index count when there are indices, else glDrawArrays over all vertices.
class VAO {
public:
    // No buffers: for full-screen triangles the vertex shader makes from the vertex index.
    VAO();
    VAO(const std::vector<VertexPos>& vertices, const std::vector<std::uint16_t>& indices);
    // Debug geometry is never indexed.
    explicit VAO(const std::vector<VertexPosColor>& vertices);
    VAO(const std::vector<VertexPosUV>& vertices, const std::vector<std::uint16_t>& indices);
    VAO(const std::vector<VertexPosVec3>& vertices, const std::vector<std::uint16_t>& indices);
    VAO(const std::vector<VertexPosNormalUV>& vertices, const std::vector<std::uint16_t>& indices);
    VAO(const std::vector<MeshVertex>& vertices, const std::vector<std::uint16_t>& indices);

    // A moved-from array keeps empty buffer records.
    VAO(VAO&& other) noexcept;
    VAO& operator=(VAO&& other) noexcept;

    // Binds the array and draws it whole with `mode`, following the drawing convention.
    void draw(GLenum mode) const;

    VertexArrayName id;
    vbo vertices;
    vbo indices;

private:
    void createVAO();
    template <typename Vertex>
    void createBuffers(const std::vector<Vertex>& vertexList,
                       const std::vector<std::uint16_t>& indexList);

    // The buffers the records above name, deleted with the array.
    BufferName m_vertexBuffer;
    BufferName m_indexBuffer;
};

// A vertex array whose contents change every frame (the on-screen text, the screen's lines):
// its buffers grow to the largest contents asked for and are rewritten in place, so a frame
// makes no GL object. Made for VertexPosUV and VertexPosColor.
template <typename Vertex>
class StreamVAO {
public:
    StreamVAO();

    // Replaces the contents; a buffer too small is made anew at twice the size asked for.
    void upload(const std::vector<Vertex>& vertexList, const std::vector<std::uint16_t>& indexList);
    // Draws `count` indices from index `first` of the last contents, each index counted from
    // vertex `baseVertex`.
    void drawRange(GLenum mode, std::size_t first, std::size_t count, std::size_t baseVertex) const;

private:
    VertexArrayName m_array;
    BufferName m_vertices;
    BufferName m_indices;
    std::size_t m_vertexCapacity = 0;  // in vertices
    std::size_t m_indexCapacity = 0;
};

}  // namespace kes
