#include "MeshBuilder.hpp"

#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <tuple>

namespace assetgen {

std::uint16_t MeshBuilder::addVertex(const glm::vec3& position, const glm::vec3& normal,
                                     const glm::vec2& uv) {
    if (m_mesh.vertices.size() >= 65536) {
        throw std::length_error("a mesh holds at most 65536 vertices");
    }
    m_mesh.vertices.push_back({position, normal, glm::vec3(0.0f), glm::vec3(0.0f), uv});
    return static_cast<std::uint16_t>(m_mesh.vertices.size() - 1);
}

void MeshBuilder::addTriangle(std::uint16_t a, std::uint16_t b, std::uint16_t c) {
    m_mesh.indices.insert(m_mesh.indices.end(), {a, c, b});
}

void MeshBuilder::addQuad(std::uint16_t a, std::uint16_t b, std::uint16_t c, std::uint16_t d) {
    addTriangle(a, b, c);
    addTriangle(a, c, d);
}

void MeshBuilder::computeSmoothNormals() {
    using Key = std::tuple<float, float, float>;
    std::map<Key, glm::vec3> sums;
    const auto keyOf = [](const glm::vec3& p) { return Key{p.x, p.y, p.z}; };
    auto& v = m_mesh.vertices;
    for (std::size_t i = 0; i < m_mesh.indices.size(); i += 3) {
        // Stored clockwise: (c - a) x (b - a) points outwards.
        const glm::vec3& a = v[m_mesh.indices[i]].position;
        const glm::vec3& b = v[m_mesh.indices[i + 1]].position;
        const glm::vec3& c = v[m_mesh.indices[i + 2]].position;
        const glm::vec3 faceNormal = glm::cross(c - a, b - a);  // length = twice the area
        for (std::size_t k = 0; k < 3; ++k) {
            sums[keyOf(v[m_mesh.indices[i + k]].position)] += faceNormal;
        }
    }
    for (kes::MeshVertex& vertex : v) {
        const glm::vec3 sum = sums[keyOf(vertex.position)];
        vertex.normal = glm::length(sum) > 0.0f ? glm::normalize(sum) : glm::vec3(0, 1, 0);
    }
}

namespace {

// Any unit vector perpendicular to n, for vertices whose texture mapping gives no direction.
glm::vec3 anyPerpendicular(const glm::vec3& n) {
    const glm::vec3 helper = std::abs(n.x) < 0.9f ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 0);
    return glm::normalize(glm::cross(helper, n));
}

}  // namespace

MeshData MeshBuilder::finish() {
    auto& v = m_mesh.vertices;
    std::vector<glm::vec3> tangents(v.size(), glm::vec3(0.0f));
    std::vector<glm::vec3> bitangents(v.size(), glm::vec3(0.0f));
    for (std::size_t i = 0; i < m_mesh.indices.size(); i += 3) {
        const std::uint16_t ia = m_mesh.indices[i];
        const std::uint16_t ib = m_mesh.indices[i + 1];
        const std::uint16_t ic = m_mesh.indices[i + 2];
        const glm::vec3 e1 = v[ib].position - v[ia].position;
        const glm::vec3 e2 = v[ic].position - v[ia].position;
        const glm::vec2 d1 = v[ib].uv - v[ia].uv;
        const glm::vec2 d2 = v[ic].uv - v[ia].uv;
        const float det = d1.x * d2.y - d2.x * d1.y;
        if (std::abs(det) < 1e-12f) {
            continue;
        }
        const glm::vec3 t = (e1 * d2.y - e2 * d1.y) / det;
        const glm::vec3 b = (e2 * d1.x - e1 * d2.x) / det;
        for (const std::uint16_t index : {ia, ib, ic}) {
            tangents[index] += t;
            bitangents[index] += b;
        }
    }
    for (std::size_t i = 0; i < v.size(); ++i) {
        const glm::vec3 n = glm::normalize(v[i].normal);
        glm::vec3 t = tangents[i] - n * glm::dot(n, tangents[i]);
        t = glm::length(t) > 1e-8f ? glm::normalize(t) : anyPerpendicular(n);
        // Keep the mapping's handedness: mirrored texture regions flip the bitangent.
        const float handedness = glm::dot(glm::cross(n, t), bitangents[i]) < 0.0f ? -1.0f : 1.0f;
        v[i].normal = n;
        v[i].tangent = t;
        v[i].bitangent = glm::cross(n, t) * handedness;
    }
    return std::move(m_mesh);
}

bool writeMeshFile(const MeshData& mesh, const std::filesystem::path& path) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const auto writeWord = [&file](std::uint32_t value) {
        const unsigned char bytes[4] = {
            static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
        file.write(reinterpret_cast<const char*>(bytes), sizeof(bytes));
    };
    file.write(".KSX", 4);
    writeWord(static_cast<std::uint32_t>(mesh.vertices.size()));
    writeWord(static_cast<std::uint32_t>(mesh.indices.size() / 3));
    // The vertex records are the file's records byte for byte on this little-endian machine.
    file.write(reinterpret_cast<const char*>(mesh.vertices.data()),
               static_cast<std::streamsize>(mesh.vertices.size() * sizeof(kes::MeshVertex)));
    file.write(reinterpret_cast<const char*>(mesh.indices.data()),
               static_cast<std::streamsize>(mesh.indices.size() * sizeof(std::uint16_t)));
    return static_cast<bool>(file);
}

}  // namespace assetgen
