// The game layer inside the real application (window, renderer, physics, sound) under Xvfb:
// what it takes from the application, what the race display and the guide arrow show, the
// pause, a window of another size, and the autopilot in the real main loop. The rules and the
// flight themselves are tested without a window (RaceSimulationTest).
#include "game/level/GameLayer.hpp"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/App.hpp"
#include "control/Autopilot.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/GameLayerSeam.hpp"
#include "support/RaceLog.hpp"

// The level inside the real application (window, renderer, physics) under Xvfb: where
// everything stands, how the asteroids swing, what a touch does, and the autopilot flying
// through the zones, first by fixed steps alone and then in the real main loop.
#include "game/level/GameLayer.hpp"

#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <sstream>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "app/App.hpp"
#include "demo/DemoLayer.hpp"
#include "control/Autopilot.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/ScriptLayer.hpp"

namespace kes {
namespace {

// A small window keeps the real loop quick on a software rasteriser: the settings file next to
// the test executable is written before the application reads it. No records file: the game
// keeps records beside its settings, and these tests keep none.
struct SmallWindow {
    SmallWindow() {
        std::ofstream settings(App::makeAppPath() / "settings.ini");
        settings << "[Window]\nWidth = 320\nHeight = 240\n";
        std::filesystem::remove(App::makeAppPath() / "records.ini");
    }
};

// The window's own settings; the race keeps no records (see RaceSetup).
LaunchOptions noRecords() {
    return LaunchOptions{};
}

class GameLayerTest : public testing::Test {
protected:
    GameLayerTest() { GameLayerSeam::simulation(game).race.addObserver(&log); }

    void SetUp() override { testing::internal::CaptureStdout(); }
    // A failing test shows what it printed, the failure's own lines among it.
    void TearDown() override {
        const std::string rest = testing::internal::GetCapturedStdout();
        if (HasFailure()) {
            std::cerr << rest;
        }
    }

    // The console since the last call: the application's own lines (the pause).
    std::string console() {
        const std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }

    SmallWindow smallWindow;
    App app{noRecords()};
    GameLayer& game = app.layers.emplace<GameLayer>(app, RaceSetup{.keepRecords = false});
    test::RaceLog log;
};

TEST_F(GameLayerTest, TakesTheInputTheCameraAndTheSoundAndLetsThemGo) {
    EXPECT_EQ(app.hid.listener, &GameLayerSeam::keys(game));
    EXPECT_EQ(app.cameraController, &game.camera());
    EXPECT_EQ(game.camera().view(), CameraView::chase);
    EXPECT_EQ(GameLayerSeam::simulation(game).difficulty, Difficulty::hard);
    EXPECT_FALSE(GameLayerSeam::records(game));
    // On the course itself, on hard difficulty, the first step gives the full bonus of 1 + 5.
    app.physics.world->update(kFixedStep);
    game.fixedUpdate(0.0f);
    EXPECT_FLOAT_EQ(GameLayerSeam::simulation(game).shipController.speedFactor, 6.0f);
    app.layers.clear();
    EXPECT_EQ(app.hid.listener, nullptr);
    EXPECT_EQ(app.cameraController, nullptr);
}

// Flies with the autopilot from inside the main loop, saves the first frame and closes the
// window once zone 1 is checked.
class PilotLayer final : public Layer {
public:
    PilotLayer(App& app_, GameLayer& game_) : app(app_), game(game_), pilot(game_.autopilot()) {}

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
        pilot.step(GameLayerSeam::simulation(game).nextZone());
        if (GameLayerSeam::simulation(game).race.lastChecked == 1 || steps > 60 * 120) {
            app.gl.requestClose();
        }
    }

    App& app;
    GameLayer& game;
    Autopilot pilot;
    int frames = 0;
    int steps = 0;
};

// Runs a few passes of the real loop with the ship put at `shipAt`, then keeps the last frame.
class SnapshotLayer final : public Layer {
public:
    SnapshotLayer(App& app_, GameLayer& game_, glm::vec3 shipAt)
        : app(app_), game(game_), m_shipAt(shipAt) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {
        if (m_steps++ == 1) {
            GameLayerSeam::simulation(game).shipController.respawn(m_shipAt);
        }
    }
    void render(float, float, unsigned int, const Viewport* viewport) override {
        if (++m_frames == 12) {
            frame = captureFramebuffer(0, GL_BACK, viewport->width, viewport->height);
            app.gl.requestClose();
        }
    }

    App& app;
    GameLayer& game;
    CapturedImage frame;

private:
    glm::vec3 m_shipAt;
    int m_steps = 0;
    int m_frames = 0;
};

// Pixels of the lit guide arrow's amber: much red, a little less green, little blue. The
// space around it is blue, purple or white.
int amberPixels(const CapturedImage& image) {
    int count = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const glm::u8vec4 p = image.at(x, y);
            if (p.r > 150 && p.g > p.r / 3 && p.g < p.r && p.b < p.r / 2) {
                ++count;
            }
        }
    }
    return count;
}

// Flown far out of the tube, the ship gets an amber arrow pointing back to the next zone; on
// the course, with that zone ahead and in view, there is none.
TEST_F(GameLayerTest, OffTheCourseAnArrowPointsBackToTheNextZone) {
    const glm::vec3 start = GameLayerSeam::simulation(game).path.midPoints()[5].position;
    SnapshotLayer& off = app.layers.emplace<SnapshotLayer>(app, game, start + glm::vec3(0, 0, 400));
    app.run();
    std::filesystem::create_directories("test-output");
    savePng(off.frame, "test-output/guide-arrow.png");
    EXPECT_GT(amberPixels(off.frame), 40) << "see test-output/guide-arrow.png";
}

using test::ScriptLayer;

// P stops the race where it stands while frames go on; P again lets it run on. Controls pressed
// during the pause are not taken.
TEST_F(GameLayerTest, PPausesTheRaceAndResumesIt) {
    float timeAtPause = -1.0f;
    float timeLaterInPause = -2.0f;
    float timeAfterResume = -3.0f;
    glm::vec3 shipAtPause{0.0f};
    glm::vec3 shipLaterInPause{1.0f};
    bool acceleratedWhilePaused = true;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        if (pass == 5) {
            GameLayerSeam::keys(game).onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
        } else if (pass == 20) {
            GameLayerSeam::keys(game).onKey(GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
            GameLayerSeam::keys(game).onKey(GLFW_KEY_P, 0, GLFW_PRESS, 0);
            timeAtPause = GameLayerSeam::simulation(game).race.currentTime;
            shipAtPause = GameLayerSeam::simulation(game).shipBody->getTransform().position;
            GameLayerSeam::keys(game).onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
            acceleratedWhilePaused = GameLayerSeam::simulation(game).shipController.isHeld(
                HidListener_SceneNodeController::accelerate);
        } else if (pass == 40) {
            timeLaterInPause = GameLayerSeam::simulation(game).race.currentTime;
            shipLaterInPause = GameLayerSeam::simulation(game).shipBody->getTransform().position;
            std::filesystem::create_directories("test-output");
            savePng(captureFramebuffer(0, GL_BACK, window.width, window.height),
                    "test-output/paused.png");
            GameLayerSeam::keys(game).onKey(GLFW_KEY_P, 0, GLFW_PRESS, 0);
        } else if (pass == 60) {
            timeAfterResume = GameLayerSeam::simulation(game).race.currentTime;
            app.gl.requestClose();
        }
    }));
    app.run();
    const std::string lines = console();
    EXPECT_NE(lines.find("Race paused\n"), std::string::npos);
    EXPECT_NE(lines.find("Race resumed\n"), std::string::npos);
    EXPECT_FALSE(app.paused());
    EXPECT_GT(timeAtPause, 0.0f);
    EXPECT_EQ(timeLaterInPause, timeAtPause);
    EXPECT_EQ(shipLaterInPause, shipAtPause);
    EXPECT_FALSE(acceleratedWhilePaused);
    EXPECT_GT(timeAfterResume, timeAtPause);
}

// The automatic quality hears only the race's own passes: a paused game, a countdown's hold and
// a menu draw at other rates than the race does, so five seconds of quick passes under each
// leave the choice where it began; the same passes in the race raise it.
TEST_F(GameLayerTest, OnlyTheRacesOwnPassesSteerTheAutomaticQuality) {
    game.setQualitySetting(QualitySetting::automatic, 1.0f);
    const QualityChoice cheapest = game.quality();
    EXPECT_EQ(cheapest.level, QualityLevel::basic);
    float time = 0.0f;
    const auto quickPasses = [&] {
        for (int pass = 0; pass < 1250; ++pass) {
            time += 0.004f;  // 250 passes a second: far more than the race needs
            game.update(0.004f, time, 1.0f);
        }
    };
    app.setPaused(true);
    quickPasses();
    app.setPaused(false);
    EXPECT_EQ(game.quality(), cheapest) << "paused";
    app.holdSimulation(true);
    quickPasses();
    app.holdSimulation(false);
    EXPECT_EQ(game.quality(), cheapest) << "held for the countdown";
    game.measurePasses(false);
    quickPasses();
    game.measurePasses(true);
    EXPECT_EQ(game.quality(), cheapest) << "under a menu";
    quickPasses();
    EXPECT_NE(game.quality(), cheapest) << "racing";
}

// With a best round to beat, checking a zone ahead of it shows the split in green above the
// ship for a while.
TEST_F(GameLayerTest, ACheckedZoneShowsItsSplitAgainstTheBestRound) {
    GameLayerSeam::simulation(game).race.setReference(100.0f,
                                                      {10, 20, 30, 40, 50, 60, 70, 80, 90, 100});
    CapturedImage picture;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        if (pass == 3) {
            GameLayerSeam::simulation(game).shipController.respawn(
                GameLayerSeam::simulation(game).zonePosition(1));
        } else if (pass == 10) {
            picture = captureFramebuffer(0, GL_BACK, window.width, window.height);
            app.gl.requestClose();
        }
    }));
    app.run();
    std::filesystem::create_directories("test-output");
    savePng(picture, "test-output/split.png");
    ASSERT_EQ(log.splits.size(), 1u);
    EXPECT_EQ(log.splits[0].zone, 1u);
    ASSERT_TRUE(log.splits[0].delta);
    EXPECT_LT(*log.splits[0].delta, 0.0f);
    // Green text in the band where the split stands, and none of the red. The text is blended
    // over the finished picture, so its thin strokes mix with the tube's blue: green leads
    // both other channels clearly, where the tube's lines and the sky have blue ahead.
    int green = 0;
    int red = 0;
    for (int y = picture.height * 7 / 10; y < picture.height * 17 / 20; ++y) {
        for (int x = picture.width / 4; x < picture.width * 3 / 4; ++x) {
            const glm::u8vec4 p = picture.at(x, y);
            green += p.g > 170 && p.g > p.r + 40 && p.g > p.b + 20;
            red += p.r > 170 && p.r > p.g + 40 && p.r > p.b + 20;
        }
    }
    EXPECT_GT(green, 20) << "see test-output/split.png";
    EXPECT_EQ(red, 0);
}

// A window manager that gives the window another size: the picture fills the new height,
// centred between black bars.
TEST_F(GameLayerTest, AWindowForcedToAnotherSizeIsFilledWithThePicture) {
    CapturedImage picture;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        if (pass == 0) {
            glfwSetWindowSize(app.gl.window, 1000, 700);
        } else if (pass == 12) {
            picture = captureFramebuffer(0, GL_BACK, window.width, window.height);
            app.gl.requestClose();
        }
    }));
    app.run();
    std::filesystem::create_directories("test-output");
    savePng(picture, "test-output/window-1000x700.png");
    ASSERT_EQ(picture.width, 1000);
    ASSERT_EQ(picture.height, 700);
    const auto lit = [&](int x, int y) {
        const glm::u8vec4 p = picture.at(x, y);
        return p.r + p.g + p.b > 6;
    };
    const auto anyInColumn = [&](int x) {
        for (int y = 0; y < 700; ++y) {
            if (lit(x, y))
                return true;
        }
        return false;
    };
    const auto anyInRow = [&](int y) {
        for (int x = 0; x < 1000; ++x) {
            if (lit(x, y))
                return true;
        }
        return false;
    };
    // 320 x 240 shown as 933 x 700 from x = 33.
    EXPECT_FALSE(anyInColumn(0));
    EXPECT_FALSE(anyInColumn(32));
    EXPECT_TRUE(anyInColumn(33));
    EXPECT_TRUE(anyInColumn(965));
    EXPECT_FALSE(anyInColumn(966));
    EXPECT_TRUE(anyInRow(0));
    EXPECT_TRUE(anyInRow(699));
}

TEST_F(GameLayerTest, ThePlayerReachesTheFirstTwoZonesInTheRealLoop) {
    app.layers.emplace<PilotLayer>(app, game);
    app.run();
    const std::vector<std::string> start{"touched 0", "clock", "accepted 0", "started"};
    ASSERT_GE(log.order.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(log.order.begin(), log.order.begin() + 4), start);
    EXPECT_EQ(log.accepted, (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(console().find("OpenGL-Error"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists("test-output/game-start.png"));
}

// Another course chosen: only what the course decides is made anew (the renderer and the
// models stay), nothing of the old course is left in the world or the scene, and a round flown
// on the new course by the autopilot from the simulation's start takes as long as on a level
// built for it alone (the demo's tight-knot round, 23.717 s).
TEST_F(GameLayerTest, AnotherCourseIsRacedWithTheRendererAndModelsKept) {
    const Model* shipModel = &GameLayerSeam::scene(game).shipModel;
    const Renderer* renderer = &game.renderer();
    game.removeRaceObserver(&log);
    game.changeCourse("tight-knot");
    EXPECT_EQ(game.course().name, "tight-knot");
    EXPECT_EQ(&GameLayerSeam::scene(game).shipModel, shipModel);
    EXPECT_EQ(&game.renderer(), renderer);
    EXPECT_EQ(GameLayerSeam::scene(game).zoneNodes.size(), 6u);
    EXPECT_EQ(game.simulation().zoneBodies.size(), 6u);
    EXPECT_EQ(GameLayerSeam::cameraController(game).body, game.simulation().shipBody);
    Autopilot pilot = game.autopilot();
    float roundTime = 0.0f;
    for (int step = 0; step < 60 * 120 && game.simulation().race.roundsFinished == 0; ++step) {
        app.physics.world->update(kFixedStep);
        game.fixedUpdate(static_cast<float>(double(step) * double(kFixedStep)));
        pilot.step(game.nextZone());
        roundTime = game.simulation().race.bestTime;
    }
    EXPECT_NEAR(roundTime, 23.717f, 0.001f);
    // And back: the first course as it was.
    game.changeCourse("prime-loop");
    EXPECT_EQ(GameLayerSeam::scene(game).zoneNodes.size(), 10u);
    app.layers.emplace<ScriptLayer>([&](int pass, const Viewport&) {
        if (pass == 3) {
            app.gl.requestClose();
        }
    });
    app.run();
    EXPECT_EQ(console().find("OpenGL-Error"), std::string::npos);
}

}  // namespace
}  // namespace kes
