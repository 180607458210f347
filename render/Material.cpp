#include "render/Material.hpp"

namespace kes {

namespace {

Program makeProgram(const std::filesystem::path& assetsFolder, const std::string& baseName,
                    const std::string& fragmentSuffix, const std::string& programSuffix,
                    const std::vector<std::string>& defines = {}) {
    return Program(makeShaderPath(assetsFolder, baseName + "_vs"),
                   makeShaderPath(assetsFolder, baseName + fragmentSuffix),
                   baseName + programSuffix, defines);
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

Material::Stage::Stage(Program made)
    : program(std::move(made)),
      iAlbedo(program.uniformLocation("iAlbedo")),
      iMetal(program.uniformLocation("iMetal")),
      iRoughness(program.uniformLocation("iRoughness")),
      iEmissive(program.uniformLocation("iEmissive")),
      hasAlbedoTexture(program.uniformLocation("hasAlbedoTexture")),
      hasNormalTexture(program.uniformLocation("hasNormalTexture")),
      hasMetalTexture(program.uniformLocation("hasMetalTexture")),
      hasRoughnessTexture(program.uniformLocation("hasRoughnessTexture")),
      hasEmissiveTexture(program.uniformLocation("hasEmissiveTexture")),
      alpha(program.uniformLocation("ALPHA")),
      modelToWorld(program.uniformLocation("modelToWorld")),
      modelInvTrans(program.uniformLocation("modelInvTrans")),
      iScale(program.uniformLocation("iScale")) {}

Program Material::makeStageProgram(DrawMode mode) const {
    switch (mode) {
        case kDrawShadow: return makeProgram(m_assetsFolder, m_baseName, "_shadowPS", "_shadow");
        case kDrawTransparent:
            return makeProgram(m_assetsFolder, m_baseName, "_transparent_ps", "_oit");
        case kDrawTransparentBlended:
            return makeProgram(m_assetsFolder, m_baseName, "_transparent_ps", "_blended",
                               {"#define BLENDED_TRANSLUCENT 1"});
        case kDrawForward:
            return makeProgram(m_assetsFolder, m_baseName, "_forward_ps", "_forward");
        case kDrawGeometry: break;
    }
    return makeProgram(m_assetsFolder, m_baseName, "_ps", "");
}

const Material::Stage& Material::stage(DrawMode mode) const {
    std::optional<Stage>& slot = m_stages[static_cast<std::size_t>(mode)];
    if (!slot) {
        slot.emplace(makeStageProgram(mode));
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
