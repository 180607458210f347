// The level inside the real application (window, renderer, physics) under Xvfb: where
// everything stands, how the asteroids swing, what a touch does, and the autopilot flying
// through the zones, first by fixed steps alone and then in the real main loop.
#include "game/GameLayer.hpp"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "app/App.hpp"
#include "app/demo/DemoLayer.hpp"
#include "control/Autopilot.hpp"
#include "gpu/FrameCapture.hpp"

namespace kes {
namespace {

constexpr float kStep = 1.0f / 60.0f;

using demo::asteroidBodies;
using demo::zoneMidPoints;

// A small window keeps the real loop quick on a software rasteriser: the settings file next to
// the test executable is written before the application reads it.
struct SmallWindow {
    SmallWindow() {
        std::ofstream settings(App::makeAppPath() / "settings.ini");
        settings << "[Window]\nWidth = 320\nHeight = 240\n";
    }
};

class GameLayerTest : public testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStdout(); }
    void TearDown() override { testing::internal::GetCapturedStdout(); }

    // The console since the last call.
    std::string console() {
        const std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }

    // What the main loop does in a fixed step, and the per-frame speed bonus.
    void fixedStep() {
        time += kStep;
        app.physics.world->update(kStep);
        game.fixedUpdate(time);
        game.update(kStep, time, 1.0f);
    }

    SmallWindow smallWindow;
    App app;
    GameLayer& game = *static_cast<GameLayer*>(app.layers.first());
    float time = 0.0f;
};

TEST_F(GameLayerTest, PlacesZonesAndAsteroidsOnTheCoursesMidPoints) {
    const auto& mids = game.path.midPoints();
    ASSERT_EQ(mids.size(), 460u);
    ASSERT_EQ(game.targetZones.size(), 10u);
    ASSERT_EQ(game.asteroids.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(game.targetZones[i].body->getTransform().position, mids[46 * i].position);
        EXPECT_EQ(game.asteroids[i].body->getTransform().position, mids[28 + 46 * i].position);
    }
    EXPECT_EQ(game.shipNode->render.position, mids[5].position);
    EXPECT_EQ(app.hid.listener, &game.shipController);
    EXPECT_EQ(app.cameraController, &game.cameraController);
    EXPECT_EQ(app.settings.difficulty, Difficulty::hard);
    EXPECT_EQ(game.renderer.finalFramebuffer.clearColor, glm::vec3(0.075f));

    // On the course itself on hard difficulty the bonus is the full 1 + 5.
    game.update(kStep, 0.0f, 1.0f);
    EXPECT_FLOAT_EQ(game.shipController.speedFactor, 6.0f);
}

TEST_F(GameLayerTest, AsteroidsSwingTogetherAlongX) {
    game.fixedUpdate(0.0f);
    for (const Asteroid& asteroid : game.asteroids) {
        EXPECT_NEAR(asteroid.body->getLinearVelocity().x, 47.94f, 0.01f);
        EXPECT_EQ(asteroid.body->getLinearVelocity().y, 0.0f);
    }
}

TEST_F(GameLayerTest, HittingAnAsteroidSendsTheShipBackToTheLastCheckedZone) {
    // Before any zone: back to the origin.
    RigidBody* ship = game.shipNode->rigidBody;
    const Transform rock = game.asteroids[4].body->getTransform();
    ship->setTransform({rock.position, ship->getTransform().orientation});
    fixedStep();
    std::string lines = console();
    EXPECT_NE(lines.find(">>>> Asteroid with idx 4 touched "), std::string::npos) << lines;
    EXPECT_NE(lines.find("Respawning at targetZone -1\n"), std::string::npos) << lines;
    EXPECT_EQ(ship->getTransform().position, glm::vec3(0.0f));
    EXPECT_EQ(game.shipController.orientation, glm::quat(1, 0, 0, 0));

    // After zone 3: back to zone 3.
    game.race.lastChecked = 3;
    ship->setTransform({game.asteroids[7].body->getTransform().position, glm::quat(1, 0, 0, 0)});
    fixedStep();
    lines = console();
    EXPECT_NE(lines.find("Respawning at targetZone 3\n"), std::string::npos) << lines;
    EXPECT_EQ(ship->getTransform().position, game.targetZones[3].body->getTransform().position);
}

TEST_F(GameLayerTest, TheAutopilotFliesAWholeRoundByFixedStepsAlone) {
    Autopilot pilot(game.shipController, game.path, zoneMidPoints(game), asteroidBodies(game));
    const int limit = 60 * 300;  // five minutes of game time
    int steps = 0;
    for (; steps < limit && game.race.roundsFinished == 0; ++steps) {
        pilot.step(nextZoneAfter(game.race.lastChecked, game.targetZones.size()));
        fixedStep();
    }
    const std::string lines = console();
    ASSERT_EQ(game.race.roundsFinished, 1u) << "after " << steps << " steps:\n" << lines;
    EXPECT_NE(lines.find("Checked the first targetzone!"), std::string::npos);
    EXPECT_NE(lines.find("Checked targetzone with idx 9 (number 10)"), std::string::npos);
    EXPECT_NE(lines.find("Finished round 1 in "), std::string::npos);
    EXPECT_NE(lines.find("New best time!"), std::string::npos);
    EXPECT_GT(game.race.bestTime, 0.0f);
    std::cerr << "[ autopilot ] round 1 in " << game.race.bestTime << " s of game time, " << steps
              << " fixed steps\n";
}

// Flies with the autopilot from inside the main loop, saves the first frame and closes the
// window once zone 1 is checked.
class PilotLayer final : public Layer {
public:
    PilotLayer(App& app_, GameLayer& game_)
        : app(app_),
          game(game_),
          pilot(game_.shipController, game_.path, zoneMidPoints(game_), asteroidBodies(game_)) {}

    void update(float, float, float) override {}
    void render(float, float, unsigned int, const Viewport* viewport) override {
        if (frames++ == 2) {
            std::filesystem::create_directories("test-output");
            savePng(captureFramebuffer(0, GL_BACK, viewport->width, viewport->height),
                    "test-output/game-start.png");
        }
    }
    void fixedUpdate(float) override {
        ++steps;
        pilot.step(nextZoneAfter(game.race.lastChecked, game.targetZones.size()));
        if (game.race.lastChecked == 1 || steps > 60 * 120) {
            app.gl.requestClose();
        }
    }

    App& app;
    GameLayer& game;
    Autopilot pilot;
    int frames = 0;
    int steps = 0;
};

TEST_F(GameLayerTest, ThePlayerReachesTheFirstTwoZonesInTheRealLoop) {
    app.layers.append(std::make_unique<PilotLayer>(app, game));
    app.run();
    const std::string lines = console();
    const std::size_t touched = lines.find(">>>> TargetZone with idx 0 touched ");
    const std::size_t started = lines.find("New start time");
    const std::size_t checked = lines.find("Checked targetzone with idx 0 (number 1)");
    const std::size_t first = lines.find("Checked the first targetzone!");
    const std::size_t second = lines.find("Checked targetzone with idx 1 (number 2)");
    ASSERT_NE(second, std::string::npos) << lines;
    EXPECT_LT(touched, started);
    EXPECT_LT(started, checked);
    EXPECT_LT(checked, first);
    EXPECT_LT(first, second);
    EXPECT_EQ(lines.find("OpenGL-Error"), std::string::npos) << lines;
    EXPECT_TRUE(std::filesystem::exists("test-output/game-start.png"));
}

}  // namespace
}  // namespace kes
