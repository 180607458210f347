// The level inside the real application (window, renderer, physics) under Xvfb: where
// everything stands, how the asteroids swing, what a touch does, and the autopilot flying
// through the zones, first by fixed steps alone and then in the real main loop.
#include "game/GameLayer.hpp"

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
// No records file: a test that needs one writes it itself.
struct SmallWindow {
    SmallWindow() {
        std::ofstream settings(App::makeAppPath() / "settings.ini");
        settings << "[Window]\nWidth = 320\nHeight = 240\n";
        std::filesystem::remove(App::makeAppPath() / "records.ini");
        std::filesystem::remove(App::makeAppPath() / "records.ini.bad");
    }
};

class GameLayerTest : public testing::Test {
protected:
    void SetUp() override { testing::internal::CaptureStdout(); }
    // A failing test shows what it printed, the failure's own lines among it.
    void TearDown() override {
        const std::string rest = testing::internal::GetCapturedStdout();
        if (HasFailure()) {
            std::cerr << rest;
        }
    }

    // The console since the last call.
    std::string console() {
        const std::string text = testing::internal::GetCapturedStdout();
        testing::internal::CaptureStdout();
        return text;
    }

    // What the main loop does in a fixed step, and the per-frame speed bonus. `time` is the
    // simulation's: the steps taken before this one, times 1/60 s.
    void fixedStep() {
        time = static_cast<float>(double(steps) * double(kStep));
        app.physics.world->update(kStep);
        game.fixedUpdate(time);
        game.update(kStep, time, 1.0f);
        ++steps;
    }

    SmallWindow smallWindow;
    App app;
    GameLayer& game = *static_cast<GameLayer*>(app.layers.first());
    std::uint64_t steps = 0;
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
    EXPECT_EQ(game.renderer.clearColor(), glm::vec3(0.075f));

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
    const std::uint64_t limit = 60 * 300;  // five minutes of game time
    while (steps < limit && game.race.roundsFinished == 0) {
        pilot.step(nextZoneAfter(game.race.lastChecked, game.targetZones.size()));
        fixedStep();
    }
    const std::string lines = console();
    ASSERT_EQ(game.race.roundsFinished, 1u) << "after " << steps << " steps:\n" << lines;
    // The race starts at the very first step, inside zone 0, at simulation time 0; the round
    // lasts exactly the fixed steps it took, whatever the machine.
    EXPECT_EQ(lines.find("New start time -1"), std::string::npos);
    EXPECT_NE(lines.find("New start time 0\n"), std::string::npos) << lines.substr(0, 300);
    // Zone 0 was touched in the first step and again in the last one.
    EXPECT_NEAR(game.race.bestTime, static_cast<float>(steps - 1) * kStep, kStep);
    EXPECT_NE(lines.find("Checked the first targetzone!"), std::string::npos);
    EXPECT_NE(lines.find("Checked targetzone with idx 9 (number 10)"), std::string::npos);
    EXPECT_NE(lines.find("Finished round 1 in "), std::string::npos);
    EXPECT_NE(lines.find("New best time!"), std::string::npos);
    EXPECT_GT(game.race.bestTime, 0.0f);
    std::cerr << "[ autopilot ] round 1 in " << game.race.bestTime << " s of game time, " << steps
              << " fixed steps\n";
}

// R after flying off the course: the ship is back at the start as launched, the progress is
// gone, the best time stays, and the zone 0 it starts in counts again.
TEST_F(GameLayerTest, RestartPutsTheShipBackAtTheStartAndClearsTheProgress) {
    const glm::vec3 start = game.shipNode->render.position;
    const glm::quat launched = game.shipController.orientation;
    fixedStep();
    game.race.bestTime = 50.0f;
    game.race.lastChecked = 4;
    RigidBody* ship = game.shipNode->rigidBody;
    const glm::vec3 faraway = start + glm::vec3(0.0f, 400.0f, 0.0f);
    ship->setTransform({faraway, ship->getTransform().orientation});
    game.shipController.position = faraway;
    for (int i = 0; i < 5; ++i) {
        fixedStep();
    }
    console();
    game.shipController.onKey(GLFW_KEY_R, 0, GLFW_PRESS, 0);
    EXPECT_EQ(game.race.lastChecked, RaceState::kNone);
    EXPECT_EQ(game.nextZone(), 0u);
    fixedStep();  // places the ship; the next step's physics finds it inside zone 0
    EXPECT_EQ(ship->getTransform().position, start);
    EXPECT_GT(std::fabs(glm::dot(ship->getTransform().orientation, launched)), 0.99999f);
    fixedStep();
    const std::string lines = console();
    EXPECT_NE(lines.find("Race restarted\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("Checked the first targetzone!"), std::string::npos) << lines;
    EXPECT_EQ(game.race.bestTime, 50.0f);
    EXPECT_EQ(game.nextZone(), 1u);
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Starts the game, flies one round by fixed steps with the autopilot and ends the game.
class OneRound {
public:
    // What the game printed goes to `said` when the run ends.
    explicit OneRound(std::string* said = nullptr) : m_said(said) {
        testing::internal::CaptureStdout();
        m_app.emplace();
        m_game = static_cast<GameLayer*>(m_app->layers.first());
        startRecord = m_game->record;
    }
    ~OneRound() {
        m_game = nullptr;
        m_app.reset();
        const std::string console = testing::internal::GetCapturedStdout();
        if (m_said != nullptr) {
            *m_said = console;
        }
        if (testing::Test::HasFailure()) {
            std::cerr << console;
        }
    }
    OneRound(const OneRound&) = delete;
    OneRound& operator=(const OneRound&) = delete;

    void fly() {
        Autopilot pilot(m_game->shipController, m_game->path, zoneMidPoints(*m_game),
                        asteroidBodies(*m_game));
        float time = 0.0f;
        for (int step = 0; step < 60 * 300 && m_game->race.roundsFinished == 0; ++step) {
            pilot.step(nextZoneAfter(m_game->race.lastChecked, m_game->targetZones.size()));
            m_app->physics.world->update(kStep);
            m_game->fixedUpdate(time);
            m_game->update(kStep, time, 1.0f);
            time += kStep;
        }
        roundTime = m_game->race.bestTime;
    }

    std::optional<RaceRecord> startRecord;
    float roundTime = -1.0f;

private:
    std::string* m_said;
    std::optional<App> m_app;
    GameLayer* m_game = nullptr;
};

// The player's record across runs: written when a round beats it (or there is none), shown
// from the start of the next run and left byte for byte by a run that does not beat it; a
// broken file is moved aside and the game starts without a record.
TEST(GameRecords, AreKeptAcrossRunsAndABrokenFileIsMovedAside) {
    const SmallWindow smallWindow;
    const std::filesystem::path folder = App::makeAppPath();
    const std::filesystem::path records = folder / "records.ini";
    float firstRound = 0.0f;
    {
        OneRound run;
        EXPECT_FALSE(run.startRecord);
        run.fly();
        firstRound = run.roundTime;
    }
    ASSERT_GT(firstRound, 0.0f);
    std::string problem;
    const auto written = parseRecord(fileText(records), 10, problem);
    ASSERT_TRUE(written) << problem;
    EXPECT_NEAR(written->bestTime, firstRound, 0.001f);

    // A faster record on file: shown from the start, and this run's slower round leaves it be.
    RaceRecord faster = *written;
    for (float& split : faster.splits) {
        split *= 0.5f;
    }
    faster.bestTime = faster.splits.back();
    std::ofstream(records, std::ios::binary) << formatRecord(faster);
    const std::string kept = fileText(records);
    {
        OneRound run;
        ASSERT_TRUE(run.startRecord);
        EXPECT_NEAR(run.startRecord->bestTime, faster.bestTime, 0.001f);  // kept to the ms
        run.fly();
        EXPECT_GT(run.roundTime, faster.bestTime);
    }
    EXPECT_EQ(fileText(records), kept);

    // Random bytes: moved aside whole, one line on the console, the settings still whole.
    std::string garbage(2048, '\0');
    std::mt19937 random(11);
    for (char& byte : garbage) {
        byte = static_cast<char>(random());
    }
    std::ofstream(records, std::ios::binary) << garbage;
    std::string said;
    {
        OneRound run(&said);
        EXPECT_FALSE(run.startRecord);
    }
    EXPECT_NE(said.find("records.ini cannot be parsed"), std::string::npos) << said;
    EXPECT_NE(said.find("moved aside as"), std::string::npos);
    EXPECT_EQ(fileText(folder / "records.ini.bad"), garbage);
    EXPECT_FALSE(std::filesystem::exists(records));
    EXPECT_NE(fileText(folder / "settings.ini").find("Width = 320\n"), std::string::npos);
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

// Runs a few passes of the real loop with the ship put at `shipAt`, then keeps the last frame.
class SnapshotLayer final : public Layer {
public:
    SnapshotLayer(App& app_, GameLayer& game_, glm::vec3 shipAt)
        : app(app_), game(game_), m_shipAt(shipAt) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {
        if (m_steps++ == 1) {
            game.shipController.respawn(m_shipAt);
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
    const glm::vec3 start = game.path.midPoints()[5].position;
    auto snapshot = std::make_unique<SnapshotLayer>(app, game, start + glm::vec3(0, 0, 400));
    SnapshotLayer& off = *snapshot;
    app.layers.append(std::move(snapshot));
    app.run();
    std::filesystem::create_directories("test-output");
    savePng(off.frame, "test-output/guide-arrow.png");
    EXPECT_GT(amberPixels(off.frame), 40) << "see test-output/guide-arrow.png";
}

// A scripted player in the real loop: each pass runs `script` with the pass's number.
class ScriptLayer final : public Layer {
public:
    using Script = std::function<void(int pass, const Viewport& window)>;
    explicit ScriptLayer(Script script) : m_script(std::move(script)) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {}
    void render(float, float, unsigned int, const Viewport* viewport) override {
        m_script(m_pass++, *viewport);
    }

private:
    Script m_script;
    int m_pass = 0;
};

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
            game.shipController.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
        } else if (pass == 20) {
            game.shipController.onKey(GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
            game.shipController.onKey(GLFW_KEY_P, 0, GLFW_PRESS, 0);
            timeAtPause = game.race.currentTime;
            shipAtPause = game.shipNode->rigidBody->getTransform().position;
            game.shipController.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
            acceleratedWhilePaused =
                game.shipController.isHeld(HidListener_SceneNodeController::accelerate);
        } else if (pass == 40) {
            timeLaterInPause = game.race.currentTime;
            shipLaterInPause = game.shipNode->rigidBody->getTransform().position;
            std::filesystem::create_directories("test-output");
            savePng(captureFramebuffer(0, GL_BACK, window.width, window.height),
                    "test-output/paused.png");
            game.shipController.onKey(GLFW_KEY_P, 0, GLFW_PRESS, 0);
        } else if (pass == 60) {
            timeAfterResume = game.race.currentTime;
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

// With a best round to beat, checking a zone ahead of it shows the split in green above the
// ship for a while.
TEST_F(GameLayerTest, ACheckedZoneShowsItsSplitAgainstTheBestRound) {
    game.race.setReference(100.0f, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100});
    CapturedImage picture;
    app.layers.append(std::make_unique<ScriptLayer>([&](int pass, const Viewport& window) {
        if (pass == 3) {
            game.shipController.respawn(game.targetZones[1].body->getTransform().position);
        } else if (pass == 10) {
            picture = captureFramebuffer(0, GL_BACK, window.width, window.height);
            app.gl.requestClose();
        }
    }));
    app.run();
    const std::string lines = console();
    std::filesystem::create_directories("test-output");
    savePng(picture, "test-output/split.png");
    ASSERT_NE(lines.find("Split at targetzone 1: "), std::string::npos) << lines;
    EXPECT_NE(lines.find(" against the best round)"), std::string::npos) << lines;
    // Green text in the band where the split stands, and none of the red.
    int green = 0;
    int red = 0;
    for (int y = picture.height * 7 / 10; y < picture.height * 17 / 20; ++y) {
        for (int x = picture.width / 4; x < picture.width * 3 / 4; ++x) {
            const glm::u8vec4 p = picture.at(x, y);
            green += p.g > 180 && p.g > p.r + 50 && p.g > p.b + 40;
            red += p.r > 180 && p.r > p.g + 50 && p.r > p.b + 40;
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
