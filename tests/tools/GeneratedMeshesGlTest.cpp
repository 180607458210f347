// The generated meshes as the game loads them from its assets folder, drawn with the game's
// front-face convention (clockwise) and back faces culled. Each picture is saved under
// test-output/ in the build folder for a person to look at.
#include <filesystem>

#include "gpu/FrameCapture.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/MeshFile.hpp"
#include "gpu/Shader.hpp"
#include "render/Math.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

constexpr const char* kPreviewVertex = R"(#version 430 core
layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
uniform mat4 viewProj;
out vec3 worldNormal;
void main() {
    worldNormal = normal;
    gl_Position = viewProj * vec4(position, 1.0);
}
)";

// Two lights and a rim, enough to read the shape.
constexpr const char* kPreviewFragment = R"(#version 430 core
in vec3 worldNormal;
out vec4 colour;
void main() {
    vec3 n = normalize(worldNormal);
    float key = max(dot(n, normalize(vec3(-0.5, 0.8, 0.4))), 0.0);
    float fill = max(dot(n, normalize(vec3(0.6, -0.2, 0.5))), 0.0) * 0.3;
    colour = vec4(vec3(0.12 + 0.8 * key + fill), 1.0);
}
)";

struct Preview {
    const char* mesh;
    glm::vec3 eye;
    glm::vec3 target;
    int minimumCoverage;  // percent of the picture the mesh must cover
};

class GeneratedMeshesTest : public test::GlTest, public testing::WithParamInterface<Preview> {};

TEST_P(GeneratedMeshesTest, LoadsAndDrawsFacingOutwards) {
    const Preview preview = GetParam();
    const std::filesystem::path gameAssets = DRIFTLINE_ASSETS_DIR;
    const std::string meshName = preview.mesh;
    const VAO mesh = meshName == "Arrow" ? MeshReader(gameAssets / "meshes" / "Arrow.KSX").readVAO()
                                         : loadMesh(gameAssets, meshName);
    ASSERT_GT(mesh.indices.count, 0u);

    writeShader("preview_vs", kPreviewVertex);
    writeShader("preview_ps", kPreviewFragment);
    const Program program(makeShaderPath(assets.path(), "preview_vs"),
                          makeShaderPath(assets.path(), "preview_ps"), "preview");
    // The game's lookAt keeps the up vector as given, so hand it one square to the view.
    const glm::vec3 forward = glm::normalize(preview.target - preview.eye);
    const glm::vec3 up = glm::normalize(glm::vec3(0, 1, 0) - forward * forward.y);
    const glm::mat4 view = lookAt(forward, up, preview.eye);
    const glm::mat4 viewProj = perspective(40.0f, 1.0f, 0.1f, 1000.0f) * view;

    const dsbuffer depth(256, 256);
    const GBuffer target(256, 256, depth.id);  // colour 0 holds the picture
    glBindFramebuffer(GL_FRAMEBUFFER, target.fbo.id);
    glViewport(0, 0, 256, 256);
    glClearColor(0.05f, 0.07f, 0.12f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);
    glCullFace(GL_BACK);
    glUseProgram(program.id);
    glUniformMatrix4fv(program.uniformLocation("viewProj"), 1, GL_FALSE, &viewProj[0][0]);
    mesh.draw(GL_TRIANGLES);
    const CapturedImage picture = captureFramebuffer(target.fbo.id, GL_COLOR_ATTACHMENT0, 256, 256);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);

    std::filesystem::create_directories("test-output");
    EXPECT_TRUE(savePng(picture, "test-output/mesh-" + meshName + ".png"));
    // Outward faces are lit from the front; culled inside-out geometry would leave holes.
    int covered = 0;
    for (int y = 0; y < 256; y += 4) {
        for (int x = 0; x < 256; x += 4) {
            covered += picture.at(x, y).g > 40;
        }
    }
    EXPECT_GE(covered * 100, 64 * 64 * preview.minimumCoverage) << meshName;
}

INSTANTIATE_TEST_SUITE_P(AllMeshes, GeneratedMeshesTest,
                         testing::Values(Preview{"plane2", {9, 7, -14}, {0, 0, 0}, 10},
                                         Preview{"Asteroid1", {30, 22, 40}, {0, 0, 0}, 20},
                                         Preview{"Targetzone", {9, 3, 4}, {0, 0, 0}, 5},
                                         Preview{"Arrow", {1.2f, 0.8f, 1.6f}, {0, 0, 0.5f}, 1}),
                         [](const auto& preview) { return std::string(preview.param.mesh); });

}  // namespace
}  // namespace kes
