// The ghost ship in the real game under Xvfb: after a round is recorded (flown by fixed steps
// beforehand, then handed over as the game hands over a finished round), the next round shows
// the ghost ship ahead of the waiting player, at the quality level without fragment lists and
// at the one with them; with the ghost setting off, nothing.
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "app/App.hpp"
#include "game/level/GameLayer.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/GameLayerSeam.hpp"
#include "support/FlyRace.hpp"

namespace kes {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kPasses = 70;

const Ghost& recordedRound() {
    static const Ghost ghost = [] {
        testing::internal::CaptureStdout();
        test::HeadlessRace race;
        FlightRecorder recorder(race.simulation.course);
        race.simulation.race.addObserver(&recorder);
        race.simulation.recorder = &recorder;
        Autopilot pilot = autopilotFor(race.simulation);
        while (!recorder.lastRound() && race.steps < 60 * 300) {
            race.step();
            pilot.step(race.simulation.nextZone());
        }
        testing::internal::GetCapturedStdout();
        return *recorder.lastRound();
    }();
    return ghost;
}

class CaptureLayer final : public Layer {
public:
    CaptureLayer(App& app, std::function<void(int, const Viewport&)> atPass)
        : m_app(app), m_atPass(std::move(atPass)) {}
    void update(float, float, float) override {}
    void fixedUpdate(float) override {}
    void render(float, float, unsigned int, const Viewport* viewport) override {
        m_atPass(m_pass, *viewport);
        if (++m_pass == kPasses) {
            m_app.gl.requestClose();
        }
    }

private:
    App& m_app;
    std::function<void(int, const Viewport&)> m_atPass;
    int m_pass = 0;
};

struct GhostRun {
    CapturedImage withGhost;
    CapturedImage withoutGhost;
    glm::vec2 ghostOnScreen{-1.0f};
    bool shown = false;
};

// The player waits at the start while the round runs; on the last two passes the ghost is
// drawn once and then hidden, and both frames are kept.
GhostRun run(QualitySetting quality, GhostSetting ghostSetting) {
    const Ghost& round = recordedRound();
    LaunchOptions options;
    options.width = kWidth;
    options.height = kHeight;
    options.quality = quality;
    testing::internal::CaptureStdout();
    App app(options);
    GameLayer& game =
        app.layers.emplace<GameLayer>(app, RaceSetup{.ghost = ghostSetting, .keepRecords = false});
    // A finished round, as the recorder hands it over: the record's and the best.
    GameLayerSeam::ghosts(game).roundFinished(round, true, true);
    game.showGhost(ghostSetting);
    GhostRun result;
    result.shown = GameLayerSeam::ghostShip(game).shown() != nullptr;
    app.layers.append(std::make_unique<CaptureLayer>(app, [&](int pass, const Viewport& window) {
        if (pass == kPasses - 2) {
            result.withGhost = captureFramebuffer(0, GL_BACK, window.width, window.height);
            const perFrameData& view = game.renderer().frameView();
            const glm::vec4 clip =
                view.viewProj *
                glm::vec4(GameLayerSeam::ghostShip(game).getTransform().position, 1.0f);
            result.ghostOnScreen = glm::vec2((clip.x / clip.w * 0.5f + 0.5f) * kWidth,
                                             (clip.y / clip.w * 0.5f + 0.5f) * kHeight);
            GameLayerSeam::ghostShip(game).show(nullptr);
        } else if (pass == kPasses - 1) {
            result.withoutGhost = captureFramebuffer(0, GL_BACK, window.width, window.height);
        }
    }));
    app.run();
    testing::internal::GetCapturedStdout();
    return result;
}

// Pixels within `radius` of `centre` that differ clearly between the two frames.
int changedAround(const GhostRun& run, float radius) {
    int changed = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (glm::distance(glm::vec2(x, y), run.ghostOnScreen) > radius) {
                continue;
            }
            const glm::ivec4 a(run.withGhost.at(x, y));
            const glm::ivec4 b(run.withoutGhost.at(x, y));
            changed += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 24;
        }
    }
    return changed;
}

TEST(GhostShipTest, TheRecordedRoundFliesAheadOfTheWaitingPlayerAndOffIsNothing) {
    GhostRun shownLow;
    for (const QualitySetting quality : {QualitySetting::low, QualitySetting::high}) {
        const GhostRun shown = run(quality, GhostSetting::record);
        const std::string level = toString(quality);
        std::filesystem::create_directories("test-output");
        savePng(shown.withGhost, "test-output/ghost-" + level + ".png");
        savePng(shown.withoutGhost, "test-output/noghost-" + level + ".png");
        ASSERT_TRUE(shown.shown);
        ASSERT_GT(shown.ghostOnScreen.x, 0.0f) << level;
        ASSERT_LT(shown.ghostOnScreen.x, float(kWidth)) << level;
        EXPECT_GT(changedAround(shown, 20.0f), 15) << "see test-output/ghost-" << level << ".png";
        if (quality == QualitySetting::low) {
            shownLow = shown;
        }
    }
    // The same flight with the ghost off: where it flew, nothing changes from frame to frame.
    GhostRun off = run(QualitySetting::low, GhostSetting::off);
    EXPECT_FALSE(off.shown);
    off.ghostOnScreen = shownLow.ghostOnScreen;
    EXPECT_LT(changedAround(off, 20.0f), 3);
}

}  // namespace
}  // namespace kes
