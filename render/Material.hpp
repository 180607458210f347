// A physically based surface description and the programs that draw it: into the G-buffer,
// into the transparent fragment lists, into a shadow map, blended without lists and lit forward
// (the basic level), each made when first drawn. Each value (albedo, metalness, roughness,
// emissive) comes from its texture when the material has one and from the constant otherwise;
// the normal map has no constant.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <glm/glm.hpp>

#include "gpu/Bindings.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "render/SceneNode.hpp"

namespace kes {

// The texture units the material shaders read.
enum MaterialUnit : GLuint {
    kAlbedoUnit = unit::kAlbedo,
    kNormalUnit = unit::kNormal,
    kMetalUnit = unit::kMetal,
    kRoughnessUnit = unit::kRoughness,
    kEmissiveUnit = unit::kEmissive,
};

class Material {
public:
    // Programs from "B_vs" with "B_ps" (into the G-buffer), "B_shadowPS" (shadow maps),
    // "B_transparent_ps" (fragment lists, or blended with BLENDED_TRANSLUCENT) and
    // "B_forward_ps" (lit as drawn), from `assetsFolder`; each is compiled when first drawn
    // with, so a level builds only what it draws.
    Material(const std::filesystem::path& assetsFolder, const std::string& baseName,
             const glm::vec3& albedo, float metalness, float roughness, const glm::vec3& emissive);
    Material(Material&&) = default;
    Material& operator=(Material&&) = delete;

    // Makes the program of `mode` current with this material's values, textures and the model
    // matrix M. Returns the units it bound textures to, one bit each.
    std::uint32_t bind(const UBO<perFrameData>& frameData, const glm::mat4& M, DrawMode mode,
                       float opacity, float scale) const;
    // Compiles the program of `mode` now, if it is not yet (a failing one throws here).
    void prepare(DrawMode mode) const { stage(mode); }

    glm::vec3 albedo;
    float metalness;
    float roughness;
    glm::vec3 emissive;
    Texture albedoTexture;
    Texture normalTexture;
    Texture metalTexture;
    Texture roughnessTexture;
    Texture emissiveTexture;

private:
    // A program with the locations of the uniforms the material sets (-1 where it has none).
    struct Stage {
        explicit Stage(Program made);

        Program program;
        GLint iAlbedo, iMetal, iRoughness, iEmissive;
        GLint hasAlbedoTexture, hasNormalTexture, hasMetalTexture, hasRoughnessTexture,
            hasEmissiveTexture;
        GLint alpha;
        GLint modelToWorld, modelInvTrans, iScale;
    };
    static constexpr std::size_t kStageCount = 5;  // one a DrawMode

    Program makeStageProgram(DrawMode mode) const;
    const Stage& stage(DrawMode mode) const;
    std::uint32_t bindTextures(const Stage& stage) const;

    std::filesystem::path m_assetsFolder;
    std::string m_baseName;
    mutable std::array<std::optional<Stage>, kStageCount> m_stages;
};

}  // namespace kes
