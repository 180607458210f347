#include "render/Model.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gpu/MeshFile.hpp"

namespace kes {

namespace {

VAO makeSphereMesh(float radius, SphereTessellation tessellation) {
    std::vector<VertexPosNormalUV> vertices;
    std::vector<std::uint16_t> indices;
    makeSphere(radius, vertices, indices, tessellation);
    return VAO(vertices, indices);
}

void addSphereBands(std::vector<std::uint16_t>& indices, SphereTessellation t) {
    const std::uint32_t n = t.segments;
    for (std::uint32_t band = 0; band + 2 < t.rings; ++band) {
        const std::uint32_t s = band * n;
        const std::uint32_t next = s + n;
        for (std::uint32_t k = 0; k < n; ++k) {
            const std::uint32_t k1 = (k + 1) % n;
            for (std::uint32_t index : {next + k, s + k1, s + k, s + k1, next + k, next + k1}) {
                indices.push_back(static_cast<std::uint16_t>(index));
            }
        }
    }
}

void addSphereCaps(std::vector<std::uint16_t>& indices, SphereTessellation t) {
    const std::uint32_t n = t.segments;
    const std::uint32_t vertexCount = (t.rings - 1) * t.segments + 2;
    const std::uint32_t lowerPole = vertexCount - 2;
    const std::uint32_t upperPole = vertexCount - 1;
    const std::uint32_t lastRing = lowerPole - n;
    for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t k1 = (k + 1) % n;
        for (std::uint32_t index : {k1, upperPole, k}) {
            indices.push_back(static_cast<std::uint16_t>(index));
        }
    }
    for (std::uint32_t k = 0; k < n; ++k) {
        const std::uint32_t k1 = (k + 1) % n;
        for (std::uint32_t index : {lowerPole, lastRing + k1, lastRing + k}) {
            indices.push_back(static_cast<std::uint16_t>(index));
        }
    }
}

}  // namespace

void makeSphere(float radius, std::vector<VertexPosNormalUV>& vertices,
                std::vector<std::uint16_t>& indices, SphereTessellation t) {
    constexpr float pi = std::numbers::pi_v<float>;
    vertices.clear();
    vertices.reserve((t.rings - 1) * t.segments + 2);
    for (std::uint32_t ring = 1; ring < t.rings; ++ring) {
        const float theta = static_cast<float>(ring) * pi / static_cast<float>(t.rings);
        for (std::uint32_t segment = 0; segment < t.segments; ++segment) {
            const float phi =
                static_cast<float>(segment) * 2.0f * pi / static_cast<float>(t.segments);
            const glm::vec3 unit(std::cos(phi) * std::sin(theta), std::cos(theta),
                                 std::sin(phi) * std::sin(theta));
            const glm::vec3 position = radius * unit;
            const glm::vec2 uv(std::atan2(unit.x, unit.z) / (2.0f * pi) + 0.5f,
                               unit.y * 0.5f + 0.5f);
            vertices.push_back({position, glm::normalize(position), uv});
        }
    }
    vertices.push_back({{0.0f, -radius, 0.0f}, {0.0f, -1.0f, 0.0f}, {0.5f, 0.0f}});
    vertices.push_back({{0.0f, radius, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.5f, 1.0f}});

    indices.clear();
    indices.reserve(std::size_t{6} * t.segments * (t.rings - 1));
    addSphereBands(indices, t);
    addSphereCaps(indices, t);
}

Model::Model(const std::filesystem::path& assetsFolder, const std::string& meshName,
             const std::string& baseName, const glm::vec3& albedo, float metalness, float roughness,
             const glm::vec3& emissive, bool textures)
    : material(assetsFolder, baseName, albedo, metalness, roughness, emissive), mesh() {
    const MeshBlocks blocks =
        MeshReader(assetsFolder / "meshes" / (meshName + ".ksx")).readBlocks();
    mesh = VAO(blocks.vertices, blocks.indices);
    // The farthest vertex bounds the model, so a rock or a ring out of view is never drawn.
    float farthest = 0.0f;
    for (const MeshVertex& vertex : blocks.vertices) {
        farthest = std::max(farthest, glm::length(vertex.position));
    }
    boundingRadius = farthest;
    const std::filesystem::path coarse = assetsFolder / "meshes" / (meshName + "_coarse.ksx");
    if (std::filesystem::exists(coarse)) {
        const MeshBlocks coarseBlocks = MeshReader(coarse).readBlocks();
        coarseMesh.emplace(coarseBlocks.vertices, coarseBlocks.indices);
    }
    if (textures) {
        loadTextures(assetsFolder / "textures", meshName);
    }
}

Model::Model(const std::filesystem::path& assetsFolder, float radius, const std::string& baseName,
             const glm::vec3& albedo, float metalness, float roughness, const glm::vec3& emissive,
             SphereTessellation tessellation)
    : material(assetsFolder, baseName, albedo, metalness, roughness, emissive),
      mesh(makeSphereMesh(radius, tessellation)),
      boundingRadius(radius) {}

void Model::loadTextures(const std::filesystem::path& texturesFolder, const std::string& meshName) {
    std::vector<Texture> textures =
        Texture::fromFiles(texturesFolder, {{meshName + "_albedo.png", 32},
                                            {meshName + "_normal.png", 24},
                                            {meshName + "_metal.png", 8},
                                            {meshName + "_roughness.png", 8},
                                            {meshName + "_emissive.png", 24}});
    material.albedoTexture = std::move(textures[0]);
    material.normalTexture = std::move(textures[1]);
    material.metalTexture = std::move(textures[2]);
    material.roughnessTexture = std::move(textures[3]);
    material.emissiveTexture = std::move(textures[4]);
}

void Model::prepare(const QualityTraits& traits) const {
    if (traits.forward) {
        material.prepare(kDrawForward);
        return;
    }
    material.prepare(kDrawGeometry);
    material.prepare(kDrawShadow);
}

void Model::draw(const glm::mat4& M, const UBO<perFrameData>& frameData, DrawMode mode,
                 float opacity, float scale) const {
    std::uint32_t boundUnits = material.bind(frameData, M, mode, opacity, scale);
    (mode == kDrawForward && coarseMesh ? *coarseMesh : mesh).draw(GL_TRIANGLES);
    for (GLuint unit = 0; boundUnits != 0; ++unit, boundUnits >>= 1) {
        if ((boundUnits & 1u) != 0) {
            glActiveTexture(GL_TEXTURE0 + unit);
            glBindTexture(GL_TEXTURE_2D, 0);
        }
    }
}

}  // namespace kes
