// A drawable: one piece of geometry with its material. Models come from mesh files, with
// their material textures found next to each other by name, or as the generated sphere.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "render/Material.hpp"
#include "render/Quality.hpp"

namespace kes {

// The sphere's tessellation: 255 rings of 256 vertices between the two poles.
inline constexpr std::uint32_t kSphereRings = 256;
inline constexpr std::uint32_t kSphereSegments = 256;
inline constexpr std::uint32_t kSphereVertexCount = 65282;
inline constexpr std::uint32_t kSphereIndexCount = 391680;

// How finely a sphere is cut: `rings` rings of latitude (rings - 1 of vertices between the
// poles) of `segments` vertices each.
struct SphereTessellation {
    std::uint32_t rings = kSphereRings;
    std::uint32_t segments = kSphereSegments;
};
// A coarse sphere for where the picture is small or cheap (the medium and low quality levels'
// sun): a few thousand triangles instead of 130 000.
inline constexpr SphereTessellation kCoarseSphere{48, 48};

// Vertex (i - 1) x segments + j sits on ring i at segment j; the lower pole follows the rings,
// then the upper pole. Triangles are wound clockwise seen from outside.
void makeSphere(float radius, std::vector<VertexPosNormalUV>& vertices,
                std::vector<std::uint16_t>& indices,
                SphereTessellation tessellation = SphereTessellation{});

class Model {
public:
    // The mesh "<meshName>.ksx" and the textures "<meshName>_albedo.png", "_normal.png",
    // "_metal.png", "_roughness.png" and "_emissive.png"; a missing texture is reported and
    // its slot stays empty. From `assetsFolder`.
    // With `textures` false the material's constants alone colour it (a tinted copy of a mesh).
    Model(const std::filesystem::path& assetsFolder, const std::string& meshName,
          const std::string& baseName, const glm::vec3& albedo, float metalness, float roughness,
          const glm::vec3& emissive, bool textures = true);
    // The generated sphere, without textures.
    Model(const std::filesystem::path& assetsFolder, float radius, const std::string& baseName,
          const glm::vec3& albedo, float metalness, float roughness, const glm::vec3& emissive,
          SphereTessellation tessellation = SphereTessellation{});

    void draw(const glm::mat4& M, const UBO<perFrameData>& frameData, DrawMode mode, float opacity,
              float scale) const;
    // Compiles now the programs a level of `traits` draws the model's surface with (a broken
    // shader throws here); the others are made when first drawn.
    void prepare(const QualityTraits& traits) const;

    Material material;
    VAO mesh;
    // A coarser cut of the mesh ("<meshName>_coarse.ksx", where there is one), drawn by the
    // forward frame of the basic level, whose vertices a software rasteriser shades one by one
    // on the game's thread. It lies within the full mesh's bounding radius.
    std::optional<VAO> coarseMesh;
    // The radius about the model's origin that holds all of it (its farthest vertex, or the
    // sphere's radius); a model without one is always drawn.
    std::optional<float> boundingRadius;

private:
    void loadTextures(const std::filesystem::path& texturesFolder, const std::string& meshName);
};

}  // namespace kes
