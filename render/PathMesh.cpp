#include "render/PathMesh.hpp"

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
      m_assetsFolder(assetsFolder) {}

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
        slot.emplace(Variant{std::move(program), radiusAt, alphaAt, colourAt, highlightAt});
    }
    return *slot;
}

void PathMesh::draw(const UBO<perFrameData>& frameData, const glm::vec3& colour, float alpha,
                    TubeBlend blend) {
    const Variant& shaded = variant(blend);
    glUseProgram(shaded.program.id);
    if (shaded.radius != -1) {
        glUniform1f(shaded.radius, radius);
    }
    if (shaded.alpha != -1) {
        glUniform1f(shaded.alpha, alpha);
    }
    if (shaded.colour != -1) {
        glUniform3f(shaded.colour, colour.r, colour.g, colour.b);
    }
    if (shaded.highlight != -1) {
        glUniform4f(shaded.highlight, m_highlight.x, m_highlight.y, m_highlight.z, m_highlight.w);
    }
    frameData.bind();
    mesh.draw(mesh.indices.count != 0 ? GL_TRIANGLE_STRIP : GL_POINTS);
}

}  // namespace kes
