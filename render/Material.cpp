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
      program(makeProgram(assetsFolder, baseName, "_ps", "")),
      shadowProgram(makeProgram(assetsFolder, baseName, "_shadowPS", "_shadow")),
      transparentProgram(makeProgram(assetsFolder, baseName, "_transparent_ps", "_oit")),
      locations{program.uniformLocation("iAlbedo"),
                program.uniformLocation("iMetal"),
                program.uniformLocation("iRoughness"),
                program.uniformLocation("iEmissive"),
                program.uniformLocation("hasAlbedoTexture"),
                program.uniformLocation("hasNormalTexture"),
                program.uniformLocation("hasMetalTexture"),
                program.uniformLocation("hasRoughnessTexture"),
                program.uniformLocation("hasEmissiveTexture"),
                transparentProgram.uniformLocation("ALPHA"),
                program.uniformLocation("modelToWorld"),
                program.uniformLocation("modelInvTrans"),
                program.uniformLocation("iScale")},
      m_assetsFolder(assetsFolder),
      m_baseName(baseName) {}

const Program& Material::blendedProgram() const {
    if (!m_blendedProgram) {
        m_blendedProgram.emplace(makeShaderPath(m_assetsFolder, m_baseName + "_vs"),
                                 makeShaderPath(m_assetsFolder, m_baseName + "_transparent_ps"),
                                 m_baseName + "_blended",
                                 std::vector<std::string>{"#define BLENDED_TRANSLUCENT 1"});
    }
    return *m_blendedProgram;
}

const Program& Material::forwardProgram() const {
    if (!m_forwardProgram) {
        m_forwardProgram.emplace(
            makeProgram(m_assetsFolder, m_baseName, "_forward_ps", "_forward"));
    }
    return *m_forwardProgram;
}

std::uint32_t Material::bind(const UBO<perFrameData>& frameData, const glm::mat4& M, DrawMode mode,
                             float opacity, float scale) const {
    if (mode == kDrawShadow) {
        glUseProgram(shadowProgram.id);
        frameData.bind();
        glUniformMatrix4fv(locations.modelToWorld, 1, GL_FALSE, &M[0][0]);
        glUniform1f(locations.iScale, scale);
        return 0;
    }
    if (mode == kDrawTransparent || mode == kDrawTransparentBlended || mode == kDrawForward) {
        const GLuint id = mode == kDrawTransparent ? transparentProgram.id
                          : mode == kDrawForward   ? forwardProgram().id
                                                   : blendedProgram().id;
        glUseProgram(id);
        glUniform1f(locations.alpha, opacity);
    } else {
        glUseProgram(program.id);
    }
    frameData.bind();
    const std::uint32_t boundUnits = bindTextures();
    const glm::mat4 invTrans = glm::inverse(glm::transpose(M));
    glUniformMatrix4fv(locations.modelInvTrans, 1, GL_FALSE, &invTrans[0][0]);
    glUniformMatrix4fv(locations.modelToWorld, 1, GL_FALSE, &M[0][0]);
    glUniform1f(locations.iScale, scale);
    return boundUnits;
}

// A slot with a texture binds it and leaves the constant unwritten; the shader picks by flag.
std::uint32_t Material::bindTextures() const {
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
    if (!slot(kAlbedoUnit, albedoTexture, locations.hasAlbedoTexture)) {
        glUniform3f(locations.iAlbedo, albedo.x, albedo.y, albedo.z);
    }
    slot(kNormalUnit, normalTexture, locations.hasNormalTexture);
    if (!slot(kMetalUnit, metalTexture, locations.hasMetalTexture)) {
        glUniform1f(locations.iMetal, metalness);
    }
    if (!slot(kRoughnessUnit, roughnessTexture, locations.hasRoughnessTexture)) {
        glUniform1f(locations.iRoughness, roughness);
    }
    if (!slot(kEmissiveUnit, emissiveTexture, locations.hasEmissiveTexture)) {
        glUniform3f(locations.iEmissive, emissive.x, emissive.y, emissive.z);
    }
    return units;
}

}  // namespace kes
