#include "render/Material.hpp"

namespace kes {

namespace {

Program makeProgram(const std::filesystem::path& assetsFolder, const std::string& baseName,
                    const std::string& fragmentSuffix, const std::string& programSuffix) {
    return Program(makeShaderPath(assetsFolder, baseName + "_vs"),
                   makeShaderPath(assetsFolder, baseName + fragmentSuffix),
                   baseName + programSuffix);
}

void bindUnit(GLuint unit, const Texture& texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture.id);
}

}  // namespace

Material::Material(const std::filesystem::path& assetsFolder, const std::string& baseName,
                   const glm::vec3& albedo_, float metalness_, float roughness_,
                   const glm::vec3& emissive_)
    : albedo(albedo_),
      metalness(metalness_),
      roughness(roughness_),
      emissive(emissive_),
      m_assetsFolder(assetsFolder),
      m_baseName(baseName) {}

const Material::Stage& Material::stage(DrawMode mode) const {
    std::optional<Stage>& slot = m_stages[static_cast<std::size_t>(mode)];
    if (!slot) {
        Program program = [&] {
            switch (mode) {
                case kDrawShadow:
                    return makeProgram(m_assetsFolder, m_baseName, "_shadowPS", "_shadow");
                case kDrawTransparent:
                    return makeProgram(m_assetsFolder, m_baseName, "_transparent_ps", "_oit");
                case kDrawTransparentBlended:
                    return Program(makeShaderPath(m_assetsFolder, m_baseName + "_vs"),
                                   makeShaderPath(m_assetsFolder, m_baseName + "_transparent_ps"),
                                   m_baseName + "_blended",
                                   std::vector<std::string>{"#define BLENDED_TRANSLUCENT 1"});
                case kDrawForward:
                    return makeProgram(m_assetsFolder, m_baseName, "_forward_ps", "_forward");
                case kDrawGeometry: break;
            }
            return makeProgram(m_assetsFolder, m_baseName, "_ps", "");
        }();
        slot.emplace(Stage{std::move(program), -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1});
        Stage& made = *slot;
        const auto at = [&made](const char* name) { return made.program.uniformLocation(name); };
        made.iAlbedo = at("iAlbedo");
        made.iMetal = at("iMetal");
        made.iRoughness = at("iRoughness");
        made.iEmissive = at("iEmissive");
        made.hasAlbedoTexture = at("hasAlbedoTexture");
        made.hasNormalTexture = at("hasNormalTexture");
        made.hasMetalTexture = at("hasMetalTexture");
        made.hasRoughnessTexture = at("hasRoughnessTexture");
        made.hasEmissiveTexture = at("hasEmissiveTexture");
        made.alpha = at("ALPHA");
        made.modelToWorld = at("modelToWorld");
        made.modelInvTrans = at("modelInvTrans");
        made.iScale = at("iScale");
    }
    return *slot;
}

std::uint32_t Material::bind(const UBO<perFrameData>& frameData, const glm::mat4& M, DrawMode mode,
                             float opacity, float scale) const {
    const Stage& shaded = stage(mode);
    glUseProgram(shaded.program.id);
    frameData.bind();
    glUniformMatrix4fv(shaded.modelToWorld, 1, GL_FALSE, &M[0][0]);
    glUniform1f(shaded.iScale, scale);
    if (mode == kDrawShadow) {
        return 0;
    }
    if (shaded.alpha != -1) {
        glUniform1f(shaded.alpha, opacity);
    }
    const std::uint32_t boundUnits = bindTextures(shaded);
    const glm::mat4 invTrans = glm::inverse(glm::transpose(M));
    glUniformMatrix4fv(shaded.modelInvTrans, 1, GL_FALSE, &invTrans[0][0]);
    return boundUnits;
}

// A slot with a texture binds it and leaves the constant unwritten; the shader picks by flag.
std::uint32_t Material::bindTextures(const Stage& shaded) const {
    std::uint32_t units = 0;
    auto slot = [&units](GLuint unit, const Texture& texture, GLint flagLocation) {
        const bool present = texture.id != 0;
        if (present) {
            bindUnit(unit, texture);
            units |= 1u << unit;
        }
        glUniform1i(flagLocation, present ? 1 : 0);
        return present;
    };
    if (!slot(kAlbedoUnit, albedoTexture, shaded.hasAlbedoTexture)) {
        glUniform3f(shaded.iAlbedo, albedo.x, albedo.y, albedo.z);
    }
    slot(kNormalUnit, normalTexture, shaded.hasNormalTexture);
    if (!slot(kMetalUnit, metalTexture, shaded.hasMetalTexture)) {
        glUniform1f(shaded.iMetal, metalness);
    }
    if (!slot(kRoughnessUnit, roughnessTexture, shaded.hasRoughnessTexture)) {
        glUniform1f(shaded.iRoughness, roughness);
    }
    if (!slot(kEmissiveUnit, emissiveTexture, shaded.hasEmissiveTexture)) {
        glUniform3f(shaded.iEmissive, emissive.x, emissive.y, emissive.z);
    }
    return units;
}

}  // namespace kes
