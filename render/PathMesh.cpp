#include "render/PathMesh.hpp"

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
      program(makeShaderPath(assetsFolder, "pathMesh_vs"),
              makeShaderPath(assetsFolder, "pathMesh_ps"), "path"),
      radius(radius_),
      radiusLocation(program.uniformLocation("RADIUS")),
      alphaLocation(program.uniformLocation("ALPHA")),
      colorLocation(program.uniformLocation("COLOR")) {}

void PathMesh::draw(const UBO<perFrameData>& frameData, const glm::vec3& colour,
                    float alpha) const {
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
    frameData.bind();
    mesh.draw(mesh.indices.count != 0 ? GL_TRIANGLE_STRIP : GL_POINTS);
}

}  // namespace kes
