// The C++ side and the shaders must agree on every binding point, texture unit, block size and
// the list node's stride; nothing checks that at run time, and a mismatch corrupts frames
// quietly. Every program of the game is linked from the real assets here and read back.
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gpu/Bindings.hpp"
#include "gpu/Shader.hpp"
#include "gpu/TransparencyBuffers.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

struct ProgramFiles {
    const char* vertex;
    const char* fragment;
    std::map<std::string, GLuint> samplerUnits;  // every sampler and image it uses
};

const std::map<std::string, GLuint> kMaterialUnits = {
    {"albedoMap", unit::kAlbedo},     {"normalMap", unit::kNormal},
    {"metalMap", unit::kMetal},       {"roughnessMap", unit::kRoughness},
    {"emissiveMap", unit::kEmissive},
};

std::map<std::string, GLuint> withMaterial(std::map<std::string, GLuint> units) {
    units.insert(kMaterialUnits.begin(), kMaterialUnits.end());
    return units;
}

std::vector<ProgramFiles> gamePrograms() {
    const std::map<std::string, GLuint> gbuffer = {
        {"albedoMetalMap", unit::kAlbedoMetal},
        {"emissiveDistanceMap", unit::kEmissiveDistance},
        {"normalRoughnessMap", unit::kNormalRoughness},
    };
    auto lighting = gbuffer;
    lighting.insert({{"shadowMaps", unit::kLightingShadowMaps},
                     {"skybox", unit::kLightingSky},
                     {"listHeads", binding::kListHeads}});
    auto reflections = gbuffer;
    reflections.insert({{"image", unit::kReflectionImage}, {"skybox", unit::kReflectionSky}});
    const auto transparent = withMaterial(
        {{"shadowMaps", unit::kTransparentShadowMaps}, {"listHeads", binding::kListHeads}});
    return {
        {"renderFullscreenTri_vs", "renderGbuffers_ps", lighting},
        {"renderFullscreenTri_vs", "SSR_ps", reflections},
        {"renderFullscreenTri_vs", "clearGBuffer_ps", {}},
        {"renderFullscreenTri_vs", "renderFinalFBO_ps", {{"image", unit::kImage}}},
        {"renderFullscreenTri_vs", "debugShadowMaps_ps", {{"shadowMaps", unit::kImage}}},
        {"renderFullscreenTri_vs", "gaussianBlur_ps", {{"image", unit::kImage}}},
        {"renderFullscreenTri_vs", "makeBrightnessTexture_ps", {{"image", unit::kImage}}},
        {"renderFullscreenTri_vs",
         "ApplyBlur_ps",
         {{"image", unit::kImage}, {"glow", unit::kGlow}}},
        {"skybox_vs", "skybox_ps", {{"skybox", unit::kImage}}},
        {"text_vs", "text_ps", {{"atlas", unit::kImage}}},
        {"debugPhysics_vs", "debugPhysics_ps", {}},
        {"screenLines_vs", "screenLines_ps", {}},
        {"debugArrow_vs", "debugArrow_ps", {}},
        {"pathMesh_vs", "pathMesh_ps", {{"listHeads", binding::kListHeads}}},
        {"pbr_vs", "pbr_ps", kMaterialUnits},
        {"pbr_vs", "pbr_shadowPS", {}},
        {"pbr_vs", "pbr_transparent_ps", transparent},
        {"pbr_vs", "pbr_forward_ps", kMaterialUnits},
        {"water_vs", "water_ps", kMaterialUnits},
        {"water_vs", "water_shadowPS", {}},
        {"water_vs", "water_transparent_ps", transparent},
        {"water_vs", "water_forward_ps", kMaterialUnits},
    };
}

struct BlockExpectation {
    GLuint binding;
    GLint size;
};

const std::map<std::string, BlockExpectation> kUniformBlocks = {
    {"perFrameData", {binding::kPerFrame, static_cast<GLint>(UBO<perFrameData>::kBufferSize)}},
    {"lightBuffer", {binding::kLights, static_cast<GLint>(UBO<lightBuffer>::kBufferSize)}},
    {"shadowBuffer", {binding::kShadows, static_cast<GLint>(UBO<shadowBuffer>::kBufferSize)}},
};

std::string resourceName(GLuint program, GLenum interface, GLuint index) {
    char name[128] = {};
    glGetProgramResourceName(program, interface, index, sizeof(name), nullptr, name);
    return name;
}

GLint resourceProperty(GLuint program, GLenum interface, GLuint index, GLenum property) {
    GLint value = -1;
    glGetProgramResourceiv(program, interface, index, 1, &property, 1, nullptr, &value);
    return value;
}

GLint activeResources(GLuint program, GLenum interface) {
    GLint count = 0;
    glGetProgramInterfaceiv(program, interface, GL_ACTIVE_RESOURCES, &count);
    return count;
}

bool isSamplerOrImage(GLenum type) {
    switch (type) {
        case GL_SAMPLER_2D:
        case GL_SAMPLER_CUBE:
        case GL_SAMPLER_2D_ARRAY:
        case GL_SAMPLER_2D_ARRAY_SHADOW:
        case GL_UNSIGNED_INT_IMAGE_2D: return true;
        default: return false;
    }
}

class ShaderInterface : public test::GlTest {
protected:
    Program link(const ProgramFiles& files) const {
        return Program(makeShaderPath(DRIFTLINE_ASSETS_DIR, files.vertex),
                       makeShaderPath(DRIFTLINE_ASSETS_DIR, files.fragment), files.fragment);
    }
};

// A program added to the game cannot escape these checks: every stage file in the shaders
// folder must be one of the programs listed above.
TEST(ShaderInterfaceList, EveryShaderFileIsAmongTheProgramsChecked) {
    std::set<std::string> listed;
    for (const ProgramFiles& files : gamePrograms()) {
        listed.insert(files.vertex);
        listed.insert(files.fragment);
    }
    std::set<std::string> onDisk;
    for (const auto& entry : std::filesystem::directory_iterator(
             std::filesystem::path(DRIFTLINE_ASSETS_DIR) / "shaders")) {
        if (entry.is_regular_file() && entry.path().extension() == ".glsl") {
            onDisk.insert(entry.path().stem().string());
        }
    }
    EXPECT_EQ(onDisk, listed);
}

TEST_F(ShaderInterface, UniformBlocksHaveTheBindingsAndSizesOfTheCppBlocks) {
    int checked = 0;
    for (const ProgramFiles& files : gamePrograms()) {
        const Program program = link(files);
        for (GLint i = 0; i < activeResources(program.id, GL_UNIFORM_BLOCK); ++i) {
            const auto index = static_cast<GLuint>(i);
            const std::string name = resourceName(program.id, GL_UNIFORM_BLOCK, index);
            const auto expected = kUniformBlocks.find(name);
            ASSERT_NE(expected, kUniformBlocks.end()) << files.fragment << ": block " << name;
            EXPECT_EQ(resourceProperty(program.id, GL_UNIFORM_BLOCK, index, GL_BUFFER_BINDING),
                      static_cast<GLint>(expected->second.binding))
                << files.fragment << ": " << name;
            EXPECT_EQ(resourceProperty(program.id, GL_UNIFORM_BLOCK, index, GL_BUFFER_DATA_SIZE),
                      expected->second.size)
                << files.fragment << ": " << name;
            ++checked;
        }
    }
    EXPECT_GT(checked, 15);
}

TEST_F(ShaderInterface, TheListNodeHasTheCppNodeSizeAndTheListsTheirBindings) {
    int lists = 0;
    for (const ProgramFiles& files : gamePrograms()) {
        const Program program = link(files);
        const GLint storage = activeResources(program.id, GL_SHADER_STORAGE_BLOCK);
        if (storage == 0) {
            continue;
        }
        ASSERT_EQ(storage, 1) << files.fragment;
        EXPECT_EQ(resourceName(program.id, GL_SHADER_STORAGE_BLOCK, 0), "FragmentNodes");
        EXPECT_EQ(resourceProperty(program.id, GL_SHADER_STORAGE_BLOCK, 0, GL_BUFFER_BINDING),
                  static_cast<GLint>(binding::kFragmentNodes));
        const GLuint next = glGetProgramResourceIndex(program.id, GL_BUFFER_VARIABLE,
                                                      "FragmentNodes.nodes[0].next");
        const GLuint first =
            next != GL_INVALID_INDEX
                ? next
                : glGetProgramResourceIndex(program.id, GL_BUFFER_VARIABLE, "nodes[0].next");
        ASSERT_NE(first, GL_INVALID_INDEX) << files.fragment;
        EXPECT_EQ(
            resourceProperty(program.id, GL_BUFFER_VARIABLE, first, GL_TOP_LEVEL_ARRAY_STRIDE),
            static_cast<GLint>(kTransparencyNodeSize))
            << files.fragment;
        for (GLint i = 0; i < activeResources(program.id, GL_ATOMIC_COUNTER_BUFFER); ++i) {
            EXPECT_EQ(resourceProperty(program.id, GL_ATOMIC_COUNTER_BUFFER, static_cast<GLuint>(i),
                                       GL_BUFFER_BINDING),
                      static_cast<GLint>(binding::kNodeCounter))
                << files.fragment;
        }
        ++lists;
    }
    EXPECT_EQ(lists, 4);  // the tube, two transparent materials, the resolve
}

TEST_F(ShaderInterface, EverySamplerAndImageReadsTheUnitTheCppSideBinds) {
    for (const ProgramFiles& files : gamePrograms()) {
        const Program program = link(files);
        std::map<std::string, GLuint> found;
        for (GLint i = 0; i < activeResources(program.id, GL_UNIFORM); ++i) {
            const auto index = static_cast<GLuint>(i);
            const auto type =
                static_cast<GLenum>(resourceProperty(program.id, GL_UNIFORM, index, GL_TYPE));
            if (!isSamplerOrImage(type)) {
                continue;
            }
            const std::string name = resourceName(program.id, GL_UNIFORM, index);
            GLint unitOrBinding = -1;
            glGetUniformiv(program.id, glGetUniformLocation(program.id, name.c_str()),
                           &unitOrBinding);
            found[name] = static_cast<GLuint>(unitOrBinding);
        }
        EXPECT_EQ(found, files.samplerUnits) << files.fragment;
    }
}

}  // namespace
}  // namespace kes
