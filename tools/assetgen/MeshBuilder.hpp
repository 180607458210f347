// Collects vertices and triangles of one mesh, works out the surface frames the normal maps
// need, and writes the game's mesh file format.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "gpu/Vertex.hpp"

namespace assetgen {

struct MeshData {
    std::vector<kes::MeshVertex> vertices;
    std::vector<std::uint16_t> indices;
};

class MeshBuilder {
public:
    // Returns the new vertex's index. The normal may be left zero and derived later.
    std::uint16_t addVertex(const glm::vec3& position, const glm::vec3& normal,
                            const glm::vec2& uv);
    // a, b, c counter-clockwise seen from outside (the usual right-hand rule). The file stores
    // them clockwise: the renderer treats clockwise triangles as front faces.
    void addTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    // Two triangles for the quad a, b, c, d (counter-clockwise from outside).
    void addQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d);

    std::size_t vertexCount() const { return m_mesh.vertices.size(); }
    kes::MeshVertex& vertex(std::size_t index) { return m_mesh.vertices[index]; }

    // Area-weighted face normals, shared between vertices at the same position, so a seam in
    // the texture coordinates does not show as a crease.
    void computeSmoothNormals();
    // Tangent along +u and bitangent along +v, made orthogonal to the normal.
    MeshData finish();

private:
    MeshData m_mesh;
};

// Writes ".KSX", the counts and the two blocks. Returns false when the file cannot be written.
bool writeMeshFile(const MeshData& mesh, const std::filesystem::path& path);

}  // namespace assetgen
