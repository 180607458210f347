#include "render/PathMesh.hpp"

#include <algorithm>
#include <limits>

#include "app/App.hpp"

namespace kes {
namespace {

std::vector<VertexPosVec3> pathVertices(const std::vector<glm::vec3>& positions,
                                        const std::vector<glm::vec3>& ringCentres) {
    std::vector<VertexPosVec3> vertices;
    vertices.reserve(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        vertices.push_back({positions[i], ringCentres[i]});
    }
    return vertices;
}

}  // namespace

PathMesh::PathMesh(float radius_, const std::vector<glm::vec3>& vertices,
                   const std::vector<std::uint16_t>& indices,
                   const std::vector<glm::vec3>& ringCentres)
    : PathMesh(App::instance()->assetsPath, radius_, vertices, indices, ringCentres) {}

PathMesh::PathMesh(const std::filesystem::path& assetsFolder, float radius_,
                   const std::vector<glm::vec3>& vertices,
                   const std::vector<std::uint16_t>& indices,
                   const std::vector<glm::vec3>& ringCentres)
    : mesh(pathVertices(vertices, ringCentres), indices),
      program(makeShaderPath(assetsFolder, "pathMesh_vs"),
              makeShaderPath(assetsFolder, "pathMesh_ps"), "path"),
      radius(radius_),
      radiusLocation(program.uniformLocation("RADIUS")),
      alphaLocation(program.uniformLocation("ALPHA")),
      colorLocation(program.uniformLocation("COLOR")),
      fadeStartLocation(program.uniformLocation("FADE_START")),
      fadeEndLocation(program.uniformLocation("FADE_END")) {
    makeChunks(vertices, indices);
}

// Each chunk starts kChunkIndices after the last and reaches two indices further, so every
// triangle of the strip (three consecutive indices) lies in exactly one chunk.
void PathMesh::makeChunks(const std::vector<glm::vec3>& vertices,
                          const std::vector<std::uint16_t>& indices) {
    for (std::size_t first = 0; first + 2 < indices.size(); first += kChunkIndices) {
        const std::size_t end = std::min(first + kChunkIndices + 2, indices.size());
        glm::vec3 lowest(std::numeric_limits<float>::max());
        glm::vec3 highest(std::numeric_limits<float>::lowest());
        for (std::size_t i = first; i < end; ++i) {
            lowest = glm::min(lowest, vertices.at(indices[i]));
            highest = glm::max(highest, vertices.at(indices[i]));
        }
        const glm::vec3 centre = 0.5f * (lowest + highest);
        m_chunks.push_back({first, end - first, centre, glm::distance(centre, highest)});
    }
    m_drawCounts.reserve(m_chunks.size());
    m_drawOffsets.reserve(m_chunks.size());
}

void PathMesh::selectChunks(const glm::vec3& eye) {
    m_drawCounts.clear();
    m_drawOffsets.clear();
    std::size_t rangeEnd = 0;  // one past the last index of the open range
    for (const StripChunk& chunk : m_chunks) {
        if (glm::distance(eye, chunk.centre) - chunk.radius > kFadeEnd) {
            continue;
        }
        const std::size_t end = chunk.first + chunk.count;
        if (!m_drawCounts.empty() && chunk.first + 2 == rangeEnd) {
            m_drawCounts.back() = static_cast<GLsizei>(end - (rangeEnd - m_drawCounts.back()));
        } else {
            m_drawCounts.push_back(static_cast<GLsizei>(chunk.count));
            m_drawOffsets.push_back(
                reinterpret_cast<const void*>(chunk.first * sizeof(std::uint16_t)));
        }
        rangeEnd = end;
    }
}

void PathMesh::draw(const UBO<perFrameData>& frameData, const glm::vec3& colour, float alpha) {
    glUseProgram(program.id);
    if (radiusLocation != -1) {
        glUniform1f(radiusLocation, radius);
    }
    if (alphaLocation != -1) {
        glUniform1f(alphaLocation, alpha);
    }
    if (colorLocation != -1) {
        glUniform3f(colorLocation, colour.r, colour.g, colour.b);
    }
    if (fadeStartLocation != -1) {
        glUniform1f(fadeStartLocation, kFadeStart);
    }
    if (fadeEndLocation != -1) {
        glUniform1f(fadeEndLocation, kFadeEnd);
    }
    frameData.bind();
    if (mesh.indices.count == 0) {
        mesh.draw(GL_POINTS);
        return;
    }
    selectChunks(frameData.data.camPos);
    if (!m_drawCounts.empty()) {
        glBindVertexArray(mesh.id);
        glMultiDrawElements(GL_TRIANGLE_STRIP, m_drawCounts.data(), GL_UNSIGNED_SHORT,
                            m_drawOffsets.data(), static_cast<GLsizei>(m_drawCounts.size()));
    }
}

}  // namespace kes
