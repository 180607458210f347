// The renderer drawing real scenes with the game's own shaders, probed pixel by pixel and
// saved as pictures under test-output/ for a person to look at.
#include "render/Renderer.hpp"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>

#include "bench/GameLikeScene.hpp"
#include "MeshBuilder.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/GlTest.hpp"
#include "support/OffscreenTarget.hpp"
#include "support/ReferencePicture.hpp"
#include "support/RendererTestSeam.hpp"
#include "support/SceneProbe.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::brightnessNear;
using test::lookingAt;
using test::pixelOf;
using test::pointLight;

const glm::quat kIdentity(1.0f, 0.0f, 0.0f, 0.0f);

class RendererTest : public test::GlTest {
protected:
    static RendererSetup setup() { return test::rendererSetup(); }
    static CapturedImage drawTwice(Renderer& renderer, const Camera& camera,
                                   const test::OffscreenTarget& target) {
        return test::drawFrames(renderer, camera, target);
    }
    static void save(const CapturedImage& image, const std::string& name) {
        test::savePicture(image, name);
    }

    PhysicsWorld world{"renderer test"};
};

TEST_F(RendererTest, AnEmptySceneStillRunsTheFrameToTheTarget) {
    Renderer renderer(setup(), 320, 240, 3);
    EXPECT_EQ(RendererTestSeam::sceneRoot(renderer), nullptr);
    const test::OffscreenTarget target(320, 240);
    const CapturedImage picture =
        drawTwice(renderer, lookingAt({0, 0, 0}, {0, 0, 1}, 1.0f, 320.0f / 240.0f), target);
    save(picture, "renderer-empty");

    // Every pixel is sky (stencil 0): the white clear colour of the final image shows nowhere
    // and the star field is dark on average but not empty.
    double sum = 0.0;
    int brightest = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const glm::u8vec4 c = picture.at(x, y);
            sum += (c.r + c.g + c.b) / 3.0;
            brightest = std::max({brightest, int(c.r), int(c.g), int(c.b)});
        }
    }
    const double mean = sum / (picture.width * picture.height);
    EXPECT_LT(mean, 100.0);
    EXPECT_GT(brightest, 60);
}

// A picture whose targets the driver cannot make is drawn at a smaller scale, said in one line,
// instead of ending the start; the frame then runs without a GL error. (Twice the driver's
// largest texture stands in for a graphics memory too small: 16384 x 16384 in single-precision
// colour fails the same way, but its fallback takes gigabytes of the software rasteriser.)
TEST_F(RendererTest, TargetsTooLargeToMakeFallBackToASmallerScale) {
    allowDriverErrors();  // the driver reports the refused target as an error, as it must
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    const auto tooWide = static_cast<std::uint32_t>(2 * largest);
    Renderer renderer(setup(), tooWide, 32, 0);
    const std::string said = takeConsole();
    EXPECT_LT(renderer.renderScale(), 1.0f);
    EXPECT_GE(renderer.renderScale(), Renderer::kSmallestFallbackScale);
    EXPECT_NE(said.find("The picture's targets at " + std::to_string(tooWide) +
                        " x 32 could not be made (the graphics driver refused them); drawing at " +
                        std::to_string(tooWide / 2) + " x 16 instead"),
              std::string::npos)
        << said;
    const test::OffscreenTarget target(64, 64);
    drawTwice(renderer, lookingAt({0, 0, 0}, {0, 0, 1}, 1.0f, 1.0f), target);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(RendererTest, ASphereIsBrighterOnTheSideFacingTheLight) {
    Renderer renderer(setup(), 256, 256, 0);
    const Model sphere(DRIFTLINE_ASSETS_DIR, 1.0f, "water", glm::vec3(0.8f), 0.0f, 0.6f,
                       glm::vec3(0.0f));
    RigidBody* body = world.createRigidBody({});
    renderer.addNode({"ball", {const_cast<Model*>(&sphere)}, {glm::mat4(1.0f)}}, body, 1.0f);
    renderer.addLight(pointLight({20.0f, 5.0f, -5.0f}));

    const Camera camera = lookingAt({0, 0, 0}, {0, 0, 1}, 4.0f);
    const test::OffscreenTarget target(256, 256);
    const CapturedImage picture = drawTwice(renderer, camera, target);
    save(picture, "renderer-lit-sphere");

    const float litSide = brightnessNear(picture, pixelOf(camera, {0.7f, 0.0f, -0.7f}, picture));
    const float farSide = brightnessNear(picture, pixelOf(camera, {-0.7f, 0.0f, -0.7f}, picture));
    EXPECT_GT(litSide, farSide + 40.0f) << "lit " << litSide << ", far " << farSide;
}

TEST_F(RendererTest, AnObjectDarkensTheFloorWhereItsShadowFallsAndNowhereElse) {
    const Model floor(DRIFTLINE_ASSETS_DIR, 500.0f, "water", glm::vec3(0.8f), 0.0f, 0.9f,
                      glm::vec3(0.0f));
    const Model ball(DRIFTLINE_ASSETS_DIR, 0.5f, "water", glm::vec3(0.8f), 0.0f, 0.9f,
                     glm::vec3(0.0f));
    RigidBody* floorBody = world.createRigidBody({{0.0f, -501.0f, 0.0f}, kIdentity});
    RigidBody* ballBody = world.createRigidBody({{0.0f, 1.0f, 0.0f}, kIdentity});
    const Camera camera = lookingAt({0, -1, 0}, {0, -1, 1}, 8.0f);

    auto drawWithShadow = [&](bool ballCastsShadow) {
        Renderer renderer(setup(), 256, 256, 0);
        renderer.addNode({"floor", {const_cast<Model*>(&floor)}, {glm::mat4(1.0f)}}, floorBody,
                         1.0f);
        SceneNode* node = renderer.addNode({"ball", {const_cast<Model*>(&ball)}, {glm::mat4(1.0f)}},
                                           ballBody, 1.0f);
        node->castsShadow = ballCastsShadow;
        renderer.addLight(pointLight({0.0f, 40.0f, 0.5f}));
        const test::OffscreenTarget target(256, 256);
        return drawTwice(renderer, camera, target);
    };
    const CapturedImage shadowed = drawWithShadow(true);
    const CapturedImage unshadowed = drawWithShadow(false);
    save(shadowed, "renderer-shadow");

    const glm::ivec2 shadowCentre = pixelOf(camera, {0.0f, -1.0f, 0.0f}, shadowed);
    EXPECT_LT(brightnessNear(shadowed, shadowCentre),
              brightnessNear(unshadowed, shadowCentre) - 30.0f);
    // Away from the shadow the two pictures agree: no acne, no stray darkening.
    int differing = 0;
    const int radius = shadowed.width / 8;
    for (int y = 0; y < shadowed.height; ++y) {
        for (int x = 0; x < shadowed.width; ++x) {
            if (std::abs(x - shadowCentre.x) < radius && std::abs(y - shadowCentre.y) < radius) {
                continue;
            }
            const glm::u8vec4 a = shadowed.at(x, y);
            const glm::u8vec4 b = unshadowed.at(x, y);
            if (std::abs(int(a.r) - int(b.r)) > 4 || std::abs(int(a.g) - int(b.g)) > 4) {
                ++differing;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(RendererTest, TexturedAndPlainMaterialsDrawFromTheirOwnSources) {
    // An assets folder with the game's shaders and two quads: one with a red albedo texture,
    // one without any texture and a green albedo value.
    const test::TempFolder folder;
    std::filesystem::create_directory_symlink(
        std::filesystem::path(DRIFTLINE_ASSETS_DIR) / "shaders", folder.path() / "shaders");
    std::filesystem::create_directories(folder.path() / "meshes");
    std::filesystem::create_directories(folder.path() / "textures");
    assetgen::MeshBuilder builder;
    const auto a = builder.addVertex({-1, -1, 0}, {0, 0, -1}, {0, 0});
    const auto b = builder.addVertex({-1, 1, 0}, {0, 0, -1}, {0, 1});
    const auto c = builder.addVertex({1, 1, 0}, {0, 0, -1}, {1, 1});
    const auto d = builder.addVertex({1, -1, 0}, {0, 0, -1}, {1, 0});
    builder.addQuad(a, b, c, d);
    const assetgen::MeshData quad = builder.finish();
    ASSERT_TRUE(assetgen::writeMeshFile(quad, folder.path() / "meshes" / "painted.ksx"));
    ASSERT_TRUE(assetgen::writeMeshFile(quad, folder.path() / "meshes" / "plain.ksx"));
    CapturedImage red;
    red.width = red.height = 4;
    for (int i = 0; i < 16; ++i) {
        red.rgba.insert(red.rgba.end(), {230, 20, 20, 255});
    }
    ASSERT_TRUE(savePng(red, folder.path() / "textures" / "painted_albedo.png"));

    Renderer renderer(setup(), 256, 256, 0);
    const glm::vec3 green(0.05f, 0.8f, 0.05f);
    const Model painted(folder.path(), "painted", "pbr", green, 0.0f, 0.8f, glm::vec3(0.0f));
    const Model plain(folder.path(), "plain", "pbr", green, 0.0f, 0.8f, glm::vec3(0.0f));
    const std::string console = takeConsole();
    EXPECT_NE(painted.material.albedoTexture.id, 0u);
    EXPECT_EQ(painted.material.normalTexture.id, 0u);
    EXPECT_EQ(plain.material.albedoTexture.id, 0u);
    EXPECT_NE(console.find("plain_emissive.png"), std::string::npos) << console;

    RigidBody* left = world.createRigidBody({{-1.2f, 0.0f, 0.0f}, kIdentity});
    RigidBody* right = world.createRigidBody({{1.2f, 0.0f, 0.0f}, kIdentity});
    renderer.addNode({"painted", {const_cast<Model*>(&painted)}, {glm::mat4(1.0f)}}, left, 1.0f);
    renderer.addNode({"plain", {const_cast<Model*>(&plain)}, {glm::mat4(1.0f)}}, right, 1.0f);
    renderer.addLight(pointLight({3.0f, 3.0f, -10.0f}));
    const Camera camera = lookingAt({0, 0, 0}, {0, 0, 1}, 5.0f);
    const test::OffscreenTarget target(256, 256);
    const CapturedImage picture = drawTwice(renderer, camera, target);
    save(picture, "renderer-materials");

    const glm::u8vec4 paintedPixel = picture.at(pixelOf(camera, {-1.2f, 0, 0}, picture).x,
                                                pixelOf(camera, {-1.2f, 0, 0}, picture).y);
    const glm::u8vec4 plainPixel = picture.at(pixelOf(camera, {1.2f, 0, 0}, picture).x,
                                              pixelOf(camera, {1.2f, 0, 0}, picture).y);
    EXPECT_GT(paintedPixel.r, paintedPixel.g + 40);
    EXPECT_GT(plainPixel.g, plainPixel.r + 40);
}

TEST_F(RendererTest, ACameraCopyThatIsNotDirtyLeavesTheMatricesAlone) {
    Renderer renderer(setup(), 64, 32, 0);
    Camera camera = lookingAt({0, 0, 0}, {0, 0, 1}, 4.0f, 2.0f);
    renderer.prepareFrame(camera, 0.01f, 1.0f, 1.0f);
    const perFrameData first = renderer.frameView();
    EXPECT_EQ(first.viewProj, RendererTestSeam::camera(renderer).viewProj);
    EXPECT_EQ(first.camPos, glm::vec3(0, 0, -4));

    camera.target = {5, 5, 5};
    camera.dirty = false;
    renderer.prepareFrame(camera, 0.02f, 2.0f, 1.0f);
    const perFrameData& second = renderer.frameView();
    EXPECT_EQ(second.viewProj, first.viewProj);
    EXPECT_EQ(second.camPos, first.camPos);
    EXPECT_EQ(second.time, 2.0f);
    EXPECT_EQ(second.deltaTime, 0.02f);
    EXPECT_EQ(second.width, 64u);
    EXPECT_EQ(second.height, 32u);
}

// A light added between frames is on the GPU when the next frame is drawn; the lights' arrays
// hold ten, and an eleventh is refused rather than written past them.
TEST_F(RendererTest, ALightReachesTheGpuWithTheNextFrameAndAnEleventhIsRefused) {
    Renderer renderer(setup(), 64, 64, 0);
    const test::OffscreenTarget target(64, 64);
    const Camera camera = lookingAt({0, 0, 0}, {0, 0, 1}, 4.0f);
    const auto lightsOnGpu = [&renderer] {
        lightBuffer onGpu{};
        glGetNamedBufferSubData(RendererTestSeam::lightBlock(renderer), 0, sizeof(onGpu), &onGpu);
        return onGpu;
    };
    EXPECT_EQ(renderer.addLight(pointLight({-132, 48, 167})), 0u);
    drawTwice(renderer, camera, target);
    EXPECT_EQ(lightsOnGpu().count, 1u);
    EXPECT_EQ(lightsOnGpu().lights[0].position, glm::vec3(-132, 48, 167));
    EXPECT_EQ(lightsOnGpu().lights[0].castsShadow, 1u);

    for (std::uint32_t i = 1; i < kMaxLights; ++i) {
        EXPECT_EQ(renderer.addLight(pointLight({float(i), 10, 0})), i);
    }
    EXPECT_THROW(renderer.addLight(pointLight({0, 0, 0})), std::length_error);
    drawTwice(renderer, camera, target);
    EXPECT_EQ(lightsOnGpu().count, kMaxLights);
    EXPECT_EQ(lightsOnGpu().lights[kMaxLights - 1].position, glm::vec3(9, 10, 0));
}

// Every pass says its whole state, so a frame draws the same picture whatever GL state it
// finds, and leaves GL's initial state behind for whatever draws next.
TEST_F(RendererTest, AFrameNeitherDependsOnNorLeavesGlState) {
    Renderer renderer(setup(), 160, 120, 3);
    renderer.setClearColor(glm::vec3(0.075f));
    bench::GameLikeScene scene(renderer, DRIFTLINE_ASSETS_DIR, 160.0f / 120.0f);
    const test::OffscreenTarget target(160, 120);
    const CapturedImage clean = drawTwice(renderer, scene.camera, target);
    EXPECT_EQ(readPipelineState(), PipelineState{});
    GLint framebuffer = -1;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
    EXPECT_EQ(framebuffer, 0);

    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glDepthFunc(GL_ALWAYS);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT_AND_BACK);
    glEnable(GL_STENCIL_TEST);
    glStencilFunc(GL_NEVER, 3, 0x1);
    glDepthMask(GL_FALSE);
    const Viewport viewport = target.viewport();
    renderer.render(target.fbo.id, &viewport);
    const CapturedImage hostile = target.capture();
    EXPECT_EQ(test::compareColours(hostile, clean).changedPixels, 0);
    EXPECT_EQ(readPipelineState(), PipelineState{});
}

// The renderer benchmark's frames, every effect on, against the pictures in
// tests/render/reference. Work on a pass that must not change the picture may change rounding
// only: no colour channel of any pixel may move by more than kLargestChannelDifference, nor all
// of them by more than kMeanChannelDifference on average. When a change is meant to be seen,
// copy the new pictures from test-output over the references in the same commit.
constexpr int kLargestChannelDifference = 6;
constexpr double kMeanChannelDifference = 0.05;

TEST_F(RendererTest, DrawsTheBenchmarkSceneAsTheReferencePicturesShow) {
    for (const auto& [width, height] : {std::pair{640u, 480u}, std::pair{1280u, 720u}}) {
        Renderer renderer(setup(), width, height, 3);
        renderer.setClearColor(glm::vec3(0.075f));
        bench::GameLikeScene scene(renderer, DRIFTLINE_ASSETS_DIR,
                                   static_cast<float>(width) / static_cast<float>(height));
        const test::OffscreenTarget target(width, height);
        const CapturedImage picture = drawTwice(renderer, scene.camera, target);
        const std::string name = "scene-" + std::to_string(width) + "x" + std::to_string(height);
        save(picture, name);

        const std::filesystem::path referencePath =
            std::filesystem::path(DRIFTLINE_REFERENCE_DIR) / (name + ".png");
        const std::optional<CapturedImage> reference = loadPng(referencePath);
        ASSERT_TRUE(reference) << "no reference picture at " << referencePath;
        ASSERT_EQ(reference->width, picture.width);
        ASSERT_EQ(reference->height, picture.height);
        const test::PictureDifference difference = test::compareColours(picture, *reference);
        if (difference.changedPixels > 0) {
            save(test::differencePicture(picture, *reference), name + "-difference");
        }
        EXPECT_LE(difference.largest, kLargestChannelDifference)
            << name << ": " << difference.changedPixels << " pixels differ, mean difference "
            << difference.mean << "; see " << name << "-difference.png in test-output";
        EXPECT_LE(difference.mean, kMeanChannelDifference)
            << name << ": " << difference.changedPixels << " pixels differ";
    }
}

// Whether any pixel of a row (or column) is brighter than the black of a bar.
bool lineShowsPicture(const CapturedImage& image, int index, bool row) {
    const int length = row ? image.width : image.height;
    for (int i = 0; i < length; ++i) {
        const glm::u8vec4 p = row ? image.at(i, index) : image.at(index, i);
        if (p.r + p.g + p.b > 6) {
            return true;
        }
    }
    return false;
}

bool rowShowsPicture(const CapturedImage& image, int y) {
    return lineShowsPicture(image, y, true);
}

bool columnShowsPicture(const CapturedImage& image, int x) {
    return lineShowsPicture(image, x, false);
}

TEST(Letterbox, FillsTheLongAxisAndCentresTheOther) {
    const auto box = [](std::int32_t w, std::int32_t h) {
        const Viewport v = letterbox(640, 480, {0, 0, w, h});
        return std::array<std::int32_t, 4>{v.x, v.y, v.width, v.height};
    };
    EXPECT_EQ(box(640, 480), (std::array<std::int32_t, 4>{0, 0, 640, 480}));
    EXPECT_EQ(box(1000, 700), (std::array<std::int32_t, 4>{33, 0, 933, 700}));
    EXPECT_EQ(box(1280, 720), (std::array<std::int32_t, 4>{160, 0, 960, 720}));
    EXPECT_EQ(box(640, 1000), (std::array<std::int32_t, 4>{0, 260, 640, 480}));
    EXPECT_EQ(box(1280, 960), (std::array<std::int32_t, 4>{0, 0, 1280, 960}));
    EXPECT_EQ(box(0, 0), (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

// The game-like scene drawn at 320 x 240 into targets of other shapes and sizes: the picture
// reaches both edges of the axis it fills, and the bars on the other axis are black. 500 x 240
// shows it 320 wide from x = 90; 640 x 600 shows it 480 high from y = 60.
TEST_F(RendererTest, TheFinishedFrameFillsAnyWindowWithItsAspectKept) {
    Renderer renderer(setup(), 320, 240, 3);
    renderer.setClearColor(glm::vec3(0.075f));
    bench::GameLikeScene scene(renderer, DRIFTLINE_ASSETS_DIR, 320.0f / 240.0f);

    const test::OffscreenTarget wide(500, 240);
    const CapturedImage barsBeside = drawTwice(renderer, scene.camera, wide);
    save(barsBeside, "letterbox-500x240");
    EXPECT_TRUE(rowShowsPicture(barsBeside, 0));
    EXPECT_TRUE(rowShowsPicture(barsBeside, 239));
    EXPECT_FALSE(columnShowsPicture(barsBeside, 0));
    EXPECT_FALSE(columnShowsPicture(barsBeside, 89));
    EXPECT_TRUE(columnShowsPicture(barsBeside, 90));
    EXPECT_TRUE(columnShowsPicture(barsBeside, 409));
    EXPECT_FALSE(columnShowsPicture(barsBeside, 410));
    EXPECT_FALSE(columnShowsPicture(barsBeside, 499));

    const test::OffscreenTarget tall(640, 600);
    const CapturedImage barsAbove = drawTwice(renderer, scene.camera, tall);
    save(barsAbove, "letterbox-640x600");
    EXPECT_TRUE(columnShowsPicture(barsAbove, 0));
    EXPECT_TRUE(columnShowsPicture(barsAbove, 639));
    EXPECT_FALSE(rowShowsPicture(barsAbove, 0));
    EXPECT_FALSE(rowShowsPicture(barsAbove, 59));
    EXPECT_TRUE(rowShowsPicture(barsAbove, 60));
    EXPECT_TRUE(rowShowsPicture(barsAbove, 539));
    EXPECT_FALSE(rowShowsPicture(barsAbove, 540));
    EXPECT_FALSE(rowShowsPicture(barsAbove, 599));
}

}  // namespace
}  // namespace kes
