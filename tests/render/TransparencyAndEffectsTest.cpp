// The frame's later passes on small known scenes: transparent fragment lists and their
// resolve, the race path, bloom, reflections, the skybox and the debug views.
#include <algorithm>
#include <filesystem>
#include <memory>

#include "bench/GameLikeScene.hpp"
#include "MeshBuilder.hpp"
#include "physics/PhysicsService.hpp"
#include "support/GlTest.hpp"
#include "support/RendererTestSeam.hpp"
#include "support/SceneProbe.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::countDifferences;
using test::drawFrames;
using test::lookingAt;
using test::pixelOf;
using test::savePicture;

const glm::quat kIdentity(1.0f, 0.0f, 0.0f, 0.0f);
constexpr std::uint32_t kSize = 128;

// An assets folder with the game's shaders and a 2 x 2 quad facing -z, and quads of flat
// emissive colours made from it.
class QuadScene {
public:
    QuadScene() {
        namespace fs = std::filesystem;
        fs::create_directory_symlink(fs::path(DRIFTLINE_ASSETS_DIR) / "shaders",
                                     folder.path() / "shaders");
        fs::create_directories(folder.path() / "meshes");
        fs::create_directories(folder.path() / "textures");
        assetgen::MeshBuilder builder;
        const auto a = builder.addVertex({-1, -1, 0}, {0, 0, -1}, {0, 0});
        const auto b = builder.addVertex({-1, 1, 0}, {0, 0, -1}, {0, 1});
        const auto c = builder.addVertex({1, 1, 0}, {0, 0, -1}, {1, 1});
        const auto d = builder.addVertex({1, -1, 0}, {0, 0, -1}, {1, 0});
        builder.addQuad(a, b, c, d);
        assetgen::writeMeshFile(builder.finish(), folder.path() / "meshes" / "quad.ksx");
    }

    // A quad that glows in `colour` and reflects nothing of the light.
    Model& glowing(const glm::vec3& colour, float roughness = 1.0f) {
        models.push_back(std::make_unique<Model>(folder.path(), "quad", "pbr", glm::vec3(0.0f),
                                                 0.0f, roughness, colour));
        return *models.back();
    }

    // Places `model` at `position`, `scale` times its size, with `opacity`.
    SceneNode* add(Renderer& renderer, Model& model, const glm::vec3& position, float opacity,
                   float scale = 1.0f) {
        RigidBody* body = world.createRigidBody({position, kIdentity});
        bodies.push_back(body);
        SceneNode* node = renderer.addNode({"quad", {&model}, {glm::mat4(1.0f)}}, body, opacity);
        node->scale = scale;
        return node;
    }

    test::TempFolder folder;
    PhysicsWorld world{"quad scene"};
    std::vector<std::unique_ptr<Model>> models;
    std::vector<RigidBody*> bodies;  // in the order the nodes were added
};

class TransparencyAndEffectsTest : public test::GlTest {
protected:
    void SetUp() override {
        GlTest::SetUp();
        target = std::make_unique<test::OffscreenTarget>(kSize, kSize);
    }
    void TearDown() override {
        target.reset();
        GlTest::TearDown();
    }

    std::unique_ptr<Renderer> makeRenderer(std::uint8_t effects = 0, std::uint32_t width = kSize,
                                           std::uint32_t height = kSize) {
        return std::make_unique<Renderer>(test::rendererSetup(), width, height, effects);
    }
    CapturedImage draw(Renderer& renderer) { return drawFrames(renderer, camera, *target); }

    Camera camera = lookingAt({0, 0, 0}, {0, 0, 1}, 4.0f);
    std::unique_ptr<test::OffscreenTarget> target;  // needs the context SetUp makes
    QuadScene scene;
};

TEST_F(TransparencyAndEffectsTest, ATranslucentSurfaceOverTheSkyBlendsWithIt) {
    Model& red = scene.glowing({1, 0, 0});
    auto skyOnly = makeRenderer();
    const CapturedImage sky = draw(*skyOnly);
    auto opaque = makeRenderer();
    scene.add(*opaque, red, {0, 0, 0}, 1.0f);
    const CapturedImage solid = draw(*opaque);
    auto translucent = makeRenderer();
    scene.add(*translucent, red, {0, 0, 0}, 0.5f);
    const CapturedImage blended = draw(*translucent);
    savePicture(blended, "transparency-over-sky");

    const glm::u8vec4 s = sky.at(64, 64);
    const glm::u8vec4 o = solid.at(64, 64);
    const glm::u8vec4 b = blended.at(64, 64);
    EXPECT_GT(b.r, s.r + 40);
    EXPECT_LT(b.r, o.r - 20);
    EXPECT_GT(int(b.b), int(o.b));  // some of the sky's colour shows through
}

TEST_F(TransparencyAndEffectsTest, OverlappingLayersBlendInDepthOrderWhateverTheDrawOrder) {
    Model& red = scene.glowing({1, 0, 0});
    Model& green = scene.glowing({0, 1, 0});
    auto redFirst = makeRenderer();
    scene.add(*redFirst, red, {0, 0, 0}, 0.6f);
    scene.add(*redFirst, green, {0, 0, 1}, 0.6f);
    const CapturedImage a = draw(*redFirst);
    auto greenFirst = makeRenderer();
    scene.add(*greenFirst, green, {0, 0, 1}, 0.6f);
    scene.add(*greenFirst, red, {0, 0, 0}, 0.6f);
    const CapturedImage b = draw(*greenFirst);
    savePicture(a, "transparency-two-layers");

    EXPECT_EQ(countDifferences(a, b, 1), 0);
    const glm::u8vec4 centre = a.at(64, 64);
    EXPECT_GT(centre.r, centre.g + 30);  // the nearer red layer lies on top
    EXPECT_GT(centre.g, 20);             // with the green one showing through
}

TEST_F(TransparencyAndEffectsTest, ATranslucentSurfaceBehindAnOpaqueOneLeavesNoTrace) {
    Model& white = scene.glowing({1, 1, 1});
    Model& red = scene.glowing({1, 0, 0});
    auto without = makeRenderer();
    scene.add(*without, white, {0, 0, 0}, 1.0f, 3.0f);
    const CapturedImage reference = draw(*without);
    auto with = makeRenderer();
    scene.add(*with, white, {0, 0, 0}, 1.0f, 3.0f);
    scene.add(*with, red, {0, 0, 2}, 0.5f);
    EXPECT_EQ(countDifferences(draw(*with), reference, 0), 0);
}

TEST_F(TransparencyAndEffectsTest, FragmentsBeyondThePoolAreDroppedAndTheNextFrameIsClean) {
    Model& red = scene.glowing({1, 0, 0});
    auto crowded = makeRenderer();
    std::vector<SceneNode*> layers;
    // Fifteen full-screen layers: far more fragments than the pool holds.
    for (int i = 0; i < 15; ++i) {
        layers.push_back(scene.add(*crowded, red, {0, 0, 0.1f * float(i)}, 0.3f, 4.0f));
    }
    const std::uint64_t fragments = 15ull * kSize * kSize;
    ASSERT_NE(crowded->transparencyLists(), nullptr);
    ASSERT_GT(fragments, crowded->transparencyLists()->nodeCapacity);
    const CapturedImage full = draw(*crowded);
    savePicture(full, "transparency-overflow");
    // Each pixel shows the layers that found room, or the sky where none did: never garbage.
    auto skyOnly = makeRenderer();
    const CapturedImage sky = draw(*skyOnly);
    int dropped = 0;
    for (int y = 0; y < int(kSize); ++y) {
        for (int x = 0; x < int(kSize); ++x) {
            const glm::u8vec4 pixel = full.at(x, y);
            const glm::u8vec4 background = sky.at(x, y);
            const glm::ivec3 change = glm::ivec3(pixel) - glm::ivec3(background);
            if (glm::all(glm::lessThanEqual(glm::abs(change), glm::ivec3(2)))) {
                ++dropped;
            } else {
                // Red layers over the sky: redder, and no more green or blue than the sky.
                EXPECT_GT(pixel.r, background.r + 10) << x << ", " << y;
                EXPECT_LE(pixel.g, background.g + 2) << x << ", " << y;
                EXPECT_LE(pixel.b, background.b + 2) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(dropped, 0);

    // All but the first layer fly away: the next frame shows just that one, as a renderer that
    // never overflowed does.
    for (std::size_t i = 1; i < layers.size(); ++i) {
        scene.bodies[i]->setTransform({{0, 0, -100}, kIdentity});
    }
    crowded->syncPhysics(0.0f);
    crowded->syncPhysics(0.0f);
    const CapturedImage after = draw(*crowded);
    auto single = makeRenderer();
    scene.add(*single, red, {0, 0, 0}, 0.3f, 4.0f);
    EXPECT_EQ(countDifferences(after, draw(*single), 1), 0);
}

TEST_F(TransparencyAndEffectsTest, TheSkyboxCoversTheBackgroundAndNothingElse) {
    auto skyOnly = makeRenderer();
    const CapturedImage sky = draw(*skyOnly);
    Model& green = scene.glowing({0, 1, 0});
    auto renderer = makeRenderer();
    scene.add(*renderer, green, {0, 0, 0}, 1.0f);
    const CapturedImage picture = draw(*renderer);
    const glm::ivec2 low = pixelOf(camera, {1, -1, 0}, picture);  // x is mirrored in view
    const glm::ivec2 high = pixelOf(camera, {-1, 1, 0}, picture);
    int covered = 0;
    for (int y = 0; y < int(kSize); ++y) {
        for (int x = 0; x < int(kSize); ++x) {
            const bool insideQuad =
                x > low.x + 1 && x < high.x - 1 && y > low.y + 1 && y < high.y - 1;
            const bool nearEdge =
                x >= low.x - 1 && x <= high.x + 1 && y >= low.y - 1 && y <= high.y + 1;
            const glm::u8vec4 pixel = picture.at(x, y);
            if (insideQuad) {
                ++covered;
                EXPECT_LT(pixel.r + pixel.b, 10) << x << ", " << y;  // pure green, no stars
            } else if (!nearEdge) {
                EXPECT_EQ(pixel, sky.at(x, y)) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(covered, 400);
}

TEST_F(TransparencyAndEffectsTest, TheRacePathDrawsAWireGridOverItsSkin) {
    RacePath path;
    for (const glm::vec3& point : raceControlPoints()) {
        path.addControlPoint(point);
    }
    path.calculateLength();
    path.calculateMidPoints(10.0f);
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> mids;
    path.generateMesh(25.0f, vertices, indices, mids);
    std::vector<glm::vec3> centres;
    for (const PathMidPoint& mid : mids) {
        centres.push_back(mid.position);
    }
    auto renderer = makeRenderer(0, 256, 256);
    const test::OffscreenTarget wide(256, 256);
    // Looking at a stretch of the course from outside the tube, 120 units away.
    const glm::vec3 onCourse = path.midPoints()[100].position;
    const Camera view = lookingAt(onCourse, {0, -1, 0.3f}, 120.0f);
    const CapturedImage sky = drawFrames(*renderer, view, wide);
    renderer->setPathMesh(
        std::make_unique<PathMesh>(DRIFTLINE_ASSETS_DIR, 25.0f, vertices, indices, centres));
    const CapturedImage tube = drawFrames(*renderer, view, wide);
    savePicture(tube, "path-tube");

    const glm::ivec2 centre = pixelOf(view, onCourse, tube);
    const glm::u8vec4 pixel = tube.at(centre.x, centre.y);
    EXPECT_GT(pixel.b, pixel.r + 40);  // blue over the sky behind it
    EXPECT_NE(pixel, sky.at(centre.x, centre.y));
    // Somewhere along the tube the bright grid lines stand out from the skin.
    int brightest = 0;
    int darkest = 255;
    for (int dx = -20; dx <= 20; ++dx) {
        const int b = tube.at(centre.x + dx, centre.y).b;
        brightest = std::max(brightest, b);
        darkest = std::min(darkest, b);
    }
    EXPECT_GT(brightest, darkest + 15);
}

TEST_F(TransparencyAndEffectsTest, BloomSpreadsABrightSpotIntoItsNeighbours) {
    Model& blazing = scene.glowing({40, 40, 40});
    auto plain = makeRenderer(0);
    scene.add(*plain, blazing, {0, 0, 0}, 1.0f, 0.05f);
    const CapturedImage without = draw(*plain);
    auto bloomed = makeRenderer(kEffectBloom);
    scene.add(*bloomed, blazing, {0, 0, 0}, 1.0f, 0.05f);
    const CapturedImage with = draw(*bloomed);
    savePicture(with, "bloom");

    // Six pixels beside the spot: sky without bloom, lit up with it.
    const glm::ivec2 beside = pixelOf(camera, {0, 0, 0}, with) + glm::ivec2(6, 0);
    EXPECT_GT(test::brightnessNear(with, beside), test::brightnessNear(without, beside) + 20.0f);
}

TEST_F(TransparencyAndEffectsTest, ReflectionsLeaveTheSkyPixelsAlone) {
    Model& shiny = scene.glowing({0.2f, 0.2f, 0.2f}, 0.05f);
    auto plain = makeRenderer(0);
    scene.add(*plain, shiny, {0, 0, 0}, 1.0f);
    const CapturedImage without = draw(*plain);
    auto reflecting = makeRenderer(kEffectReflections);
    scene.add(*reflecting, shiny, {0, 0, 0}, 1.0f);
    const CapturedImage with = draw(*reflecting);
    const glm::ivec2 low = pixelOf(camera, {1, -1, 0}, with);
    const glm::ivec2 high = pixelOf(camera, {-1, 1, 0}, with);
    int changedInside = 0;
    for (int y = 0; y < int(kSize); ++y) {
        for (int x = 0; x < int(kSize); ++x) {
            const bool nearQuad =
                x >= low.x - 1 && x <= high.x + 1 && y >= low.y - 1 && y <= high.y + 1;
            if (!nearQuad) {
                EXPECT_EQ(with.at(x, y), without.at(x, y)) << x << ", " << y;
            } else if (with.at(x, y) != without.at(x, y)) {
                ++changedInside;
            }
        }
    }
    EXPECT_GT(changedInside, 0);  // the smooth quad does reflect something
}

TEST_F(TransparencyAndEffectsTest, TheShadowMapTileSitsAtTheTopLeft) {
    auto renderer = makeRenderer(0, 1280, 720);
    Model& white = scene.glowing({1, 1, 1});
    scene.add(*renderer, white, {0, 0, 0}, 1.0f);
    renderer->addLight(test::pointLight({3, 3, -10}));
    const test::OffscreenTarget wide(1280, 720);
    const Camera view = lookingAt({0, 0, 0}, {0, 0, 1}, 4.0f, 1280.0f / 720.0f);
    const CapturedImage plain = drawFrames(*renderer, view, wide);
    renderer->toggleShadowMapTiles();
    const CapturedImage tiled = drawFrames(*renderer, view, wide);
    savePicture(tiled, "shadow-map-tile");

    int insideTile = 0;
    int outsideTile = 0;
    for (int y = 0; y < 720; ++y) {
        for (int x = 0; x < 1280; ++x) {
            const glm::u8vec4 a = tiled.at(x, y);
            const glm::u8vec4 b = plain.at(x, y);
            const int difference =
                std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
            if (difference > 2) {
                (x < 180 && y >= 540 ? insideTile : outsideTile) += 1;
            }
        }
    }
    EXPECT_EQ(outsideTile, 0);
    EXPECT_GT(insideTile, 180 * 180 / 2);
}

TEST_F(TransparencyAndEffectsTest, PhysicsShapesShowInTheOverlayOnlyWhenThereAreAny) {
    PhysicsService physics;
    RendererSetup setup = test::rendererSetup();
    setup.debugShapes = &physics;
    Renderer renderer(setup, kSize, kSize, 0);
    const CapturedImage off = draw(renderer);
    physics.toggleDebugRendering();
    physics.world->update(1.0f / 60.0f);
    std::vector<VertexPosColor> lines, triangles;
    ASSERT_TRUE(physics.getDebugGeometry(lines, triangles));
    EXPECT_TRUE(lines.empty() && triangles.empty());
    EXPECT_EQ(countDifferences(draw(renderer), off, 0), 0);

    RigidBody* body = physics.createRigidBody({0, 0, 0}, {0.3f, 0.5f, 0.0f}, {0, 0, 0});
    body->addCollider(physics.common.createBoxShape({1, 1, 1}), {glm::vec3(0.0f), kIdentity});
    physics.world->update(1.0f / 60.0f);
    const CapturedImage shown = draw(renderer);
    savePicture(shown, "physics-debug");
    EXPECT_GT(countDifferences(shown, off, 3), 200);
}

TEST_F(TransparencyAndEffectsTest, AHundredFramesWithEveryEffectKeepTheDebugOutputSilent) {
    Renderer renderer(test::rendererSetup(), 320, 240, kEffectBloom | kEffectReflections);
    bench::GameLikeScene game(renderer, DRIFTLINE_ASSETS_DIR, 320.0f / 240.0f);
    renderer.addDebugArrow({game.level.shipNode->render.position, {0, 0, -1}, 3.0f, {1, 0, 0, 1}});
    const test::OffscreenTarget small(320, 240);
    const Viewport viewport = small.viewport();
    for (int frame = 0; frame < 100; ++frame) {
        renderer.render(small.fbo.id, &viewport);
        renderer.prepareFrame(game.camera, 1.0f / 60.0f, float(frame) / 60.0f, 1.0f);
    }
    EXPECT_TRUE(RendererTestSeam::debugArrows(renderer).empty());

    // The same moment drawn twice gives the same picture: nothing flickers.
    renderer.render(small.fbo.id, &viewport);
    const CapturedImage last = small.capture();
    savePicture(last, "hundred-frames");
    renderer.render(small.fbo.id, &viewport);
    EXPECT_EQ(countDifferences(small.capture(), last, 0), 0);
}

}  // namespace
}  // namespace kes
