// A physically based surface description and the programs that draw it: into the G-buffer,
// into the transparent fragment lists, into a shadow map and, made when first drawn, blended
// without lists and lit forward (the basic level). Each value (albedo,
// metalness, roughness, emissive) comes from its texture when the material has one and from
// the constant otherwise; the normal map has no constant.
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
    // Programs B, B_shadow and B_oit from "B_vs" with "B_ps", "B_shadowPS" and
    // "B_transparent_ps", from `assetsFolder`.
    Material(const std::filesystem::path& assetsFolder, const std::string& baseName,
             const glm::vec3& albedo, float metalness, float roughness, const glm::vec3& emissive);
    Material(Material&&) = default;
    Material& operator=(Material&&) = delete;

    // Makes the program of `mode` current with this material's values, textures and the model
    // matrix M. Returns the units it bound textures to, one bit each.
    std::uint32_t bind(const UBO<perFrameData>& frameData, const glm::mat4& M, DrawMode mode,
                       float opacity, float scale) const;

    glm::vec3 albedo;
    float metalness;
    float roughness;
    glm::vec3 emissive;
    Texture albedoTexture;
    Texture normalTexture;
    Texture metalTexture;
    Texture roughnessTexture;
    Texture emissiveTexture;
    Program program;
    Program shadowProgram;
    Program transparentProgram;

    // Looked up in `program` ("ALPHA" in `transparentProgram`) and used with all three: the
    // shaders of one base name give each uniform the same location.
    struct Locations {
        GLint iAlbedo, iMetal, iRoughness, iEmissive;
        GLint hasAlbedoTexture, hasNormalTexture, hasMetalTexture, hasRoughnessTexture,
            hasEmissiveTexture;
        GLint alpha;
        GLint modelToWorld, modelInvTrans, iScale;
    } locations;

private:
    std::uint32_t bindTextures() const;
    // The transparent stage that writes its colour for blending (made when first drawn).
    const Program& blendedProgram() const;
    // The forward stage "B_forward_ps" (made when first drawn).
    const Program& forwardProgram() const;

    std::filesystem::path m_assetsFolder;
    std::string m_baseName;
    mutable std::optional<Program> m_blendedProgram;
    mutable std::optional<Program> m_forwardProgram;
};

}  // namespace kes
