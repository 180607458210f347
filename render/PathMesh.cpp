#include "render/PathMesh.hpp"

#include <algorithm>
#include <cstdint>
#include <string>

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

PathMesh::PathMesh(const std::filesystem::path& assetsFolder, float radius_,
                   const std::vector<glm::vec3>& vertices,
                   const std::vector<std::uint16_t>& indices,
                   const std::vector<glm::vec3>& ringCentres)
    : mesh(pathVertices(vertices, ringCentres), indices),
      radius(radius_),
      m_assetsFolder(assetsFolder),
      m_vertices(pathVertices(vertices, ringCentres)) {}

PathMesh::Variant& PathMesh::variant(TubeBlend blend) {
    std::optional<Variant>& slot = m_variants[static_cast<std::size_t>(blend)];
    if (!slot) {
        const bool additive = blend == TubeBlend::additive;
        const bool blended = blend == TubeBlend::blended;
        Program program(makeShaderPath(m_assetsFolder, "pathMesh_vs"),
                        makeShaderPath(m_assetsFolder, "pathMesh_ps"),
                        additive  ? "path (additive)"
                        : blended ? "path (blended)"
                                  : "path",
                        {std::string("#define ADDITIVE_TUBE ") + (additive ? "1" : "0"),
                         std::string("#define BLENDED_TUBE ") + (blended ? "1" : "0")});
        const GLint radiusAt = program.uniformLocation("RADIUS");
        const GLint alphaAt = program.uniformLocation("ALPHA");
        const GLint colourAt = program.uniformLocation("COLOR");
        const GLint highlightAt = program.uniformLocation("HIGHLIGHT");
        const GLint wiresAt = program.uniformLocation("WIRES");
        slot.emplace(
            Variant{std::move(program), radiusAt, alphaAt, colourAt, highlightAt, wiresAt});
    }
    return *slot;
}

void PathMesh::draw(const UBO<perFrameData>& frameData, const TubeLayer& layer, TubeBlend blend) {
    useVariant(frameData, layer, blend);
    mesh.draw(mesh.indices.count != 0 ? GL_TRIANGLE_STRIP : GL_POINTS);
}

void PathMesh::drawVisible(const UBO<perFrameData>& frameData, const TubeLayer& layer,
                           const ViewFrustum& view) {
    if (!m_sectioned) {
        makeSections();
    }
    useVariant(frameData, layer, TubeBlend::blended);
    glBindVertexArray(m_sectioned->id);
    const glm::vec3 eye = frameData.data.camPos;
    // Neighbouring sections in view are drawn as one run.
    std::uint32_t runStart = 0;
    std::uint32_t runCount = 0;
    const auto flush = [&] {
        if (runCount != 0) {
            glDrawElements(
                GL_TRIANGLES, static_cast<GLsizei>(runCount), GL_UNSIGNED_SHORT,
                reinterpret_cast<const void*>(std::uintptr_t{runStart} * sizeof(std::uint16_t)));
        }
        runCount = 0;
    };
    for (const Section& section : m_sections) {
        const bool seen = glm::distance(eye, section.centre) - section.radius < kTubeFadeEnd &&
                          !view.excludes(section.centre, section.radius);
        if (!seen) {
            flush();
            continue;
        }
        if (runCount == 0) {
            runStart = section.firstIndex;
        }
        runCount += section.indexCount;
    }
    flush();
}

// The vertices come ring by ring, each ring the run of vertices that share a centre. Each
// section joins kSectionRings rings to their next (the last ring to the first, closing the
// loop) as two triangles a quad, wound as the strip winds them.
void PathMesh::makeSections() {
    constexpr std::size_t kSectionRings = 8;
    std::size_t ringSize = 1;
    while (ringSize < m_vertices.size() && m_vertices[ringSize].vector == m_vertices[0].vector) {
        ++ringSize;
    }
    const std::size_t rings = m_vertices.size() / ringSize;
    std::vector<std::uint16_t> indices;
    indices.reserve(rings * ringSize * 6);
    const auto at = [ringSize, rings](std::size_t ring, std::size_t j) {
        return static_cast<std::uint16_t>((ring % rings) * ringSize + j % ringSize);
    };
    for (std::size_t first = 0; first < rings && ringSize > 2; first += kSectionRings) {
        Section section{static_cast<std::uint32_t>(indices.size()), 0, glm::vec3(0.0f), 0.0f};
        const std::size_t last = std::min(first + kSectionRings, rings);
        for (std::size_t ring = first; ring < last; ++ring) {
            for (std::size_t j = 0; j < ringSize; ++j) {
                const std::uint16_t quad[4] = {at(ring, j), at(ring, j + 1), at(ring + 1, j),
                                               at(ring + 1, j + 1)};
                for (const int corner : {0, 1, 2, 2, 1, 3}) {
                    indices.push_back(quad[corner]);
                }
            }
        }
        section.indexCount = static_cast<std::uint32_t>(indices.size()) - section.firstIndex;
        // The sphere about the section's ring centres, grown by the wall.
        for (std::size_t ring = first; ring <= last; ++ring) {
            section.centre += m_vertices[at(ring, 0)].vector;
        }
        section.centre /= static_cast<float>(last - first + 1);
        for (std::size_t ring = first; ring <= last; ++ring) {
            section.radius = std::max(
                section.radius, glm::distance(section.centre, m_vertices[at(ring, 0)].vector));
        }
        section.radius += radius;
        m_sections.push_back(section);
    }
    m_sectioned.emplace(m_vertices, indices);
    m_vertices.clear();
    m_vertices.shrink_to_fit();
}

void PathMesh::useVariant(const UBO<perFrameData>& frameData, const TubeLayer& layer,
                          TubeBlend blend) {
    const glm::vec3& colour = layer.colour;
    const Variant& shaded = variant(blend);
    glUseProgram(shaded.program.id);
    if (shaded.radius != -1) {
        glUniform1f(shaded.radius, radius);
    }
    if (shaded.alpha != -1) {
        glUniform1f(shaded.alpha, layer.alpha);
    }
    if (shaded.colour != -1) {
        glUniform3f(shaded.colour, colour.r, colour.g, colour.b);
    }
    if (shaded.wires != -1) {
        glUniform1f(shaded.wires, layer.wires ? 1.0f : 0.0f);
    }
    if (shaded.highlight != -1) {
        glUniform4f(shaded.highlight, m_highlight.x, m_highlight.y, m_highlight.z, m_highlight.w);
    }
    frameData.bind();
}

}  // namespace kes
