// The demo's layer, behind the game's in the chain: it flies the ship with the autopilot,
// takes screenshots of the finished frames, collects the GPU timings and closes the window once
// the rounds are flown or the frame limit is reached.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <vector>

#include "app/App.hpp"
#include "demo/AudioRecorder.hpp"
#include "demo/DemoOptions.hpp"
#include "demo/DemoProfile.hpp"
#include "control/Autopilot.hpp"
#include "game/level/GameLayer.hpp"
#include "game/ghost/ReplayJudge.hpp"

namespace kes::demo {

class DemoLayer final : public Layer, private RaceObserver {
public:
    // With `replay`, its controls fly the ship instead of the autopilot until the judge has
    // decided; `replay` must outlive the layer.
    DemoLayer(App& app, GameLayer& game, const DemoOptions& options, DemoProfile& profile,
              const Ghost* replay = nullptr);
    ~DemoLayer() override;
    DemoLayer(const DemoLayer&) = delete;
    DemoLayer& operator=(const DemoLayer&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    bool roundsFlown() const;
    // The flight in simulated seconds (the steps after the first) and in the real seconds from
    // the first step to the last one taken before the rounds were flown.
    double flightSimulatedSeconds() const;
    double flightWallSeconds() const;

    std::vector<std::filesystem::path> screenshots;
    std::uint32_t passes = 0;
    // The passes that took at least one step of the simulation: what a replay's speed changes
    // (a pass that only drew between two steps, which a fast machine draws many of, is not
    // counted).
    std::uint32_t steppingPasses = 0;
    std::uint64_t fixedSteps = 0;
    double firstFrameSeconds = 0.0;
    // The most fragment-list nodes one frame asked for, dropped ones included.
    std::uint32_t peakListNodes = 0;
    // The game's mix, when the options ask for it.
    std::unique_ptr<AudioRecorder> recorder;
    // Whether the replayed flight reproduced its round, when one is flown.
    std::unique_ptr<ReplayJudge> judge;

private:
    // The profile keeps the finished rounds and best times, as the console says them.
    void onRoundFinished(const RoundResult& result) override;
    void onNewBestTime(float time) override;
    void takeScreenshot(const Viewport& viewport);
    // Every few seconds one line: where the race stands and how fast it goes.
    void reportProgress();

    bool m_steppedThisPass = false;

    App& m_app;
    GameLayer& m_game;
    const DemoOptions& m_options;
    DemoProfile& m_profile;
    Autopilot m_pilot;
    std::unique_ptr<GpuPassTimer> m_gpuTimer;
    std::chrono::steady_clock::time_point m_created = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point m_lastProgress = m_created;
    std::chrono::steady_clock::time_point m_lastFrame = m_created;
    std::chrono::steady_clock::time_point m_firstStep;
    std::chrono::steady_clock::time_point m_lastStep;
    std::uint64_t m_flightSteps = 0;
    bool m_restarted = false;  // by --restart-after
};

// The progress line: the next zone, the round, the simulated and the real time.
std::string progressLine(std::uint32_t nextZone, std::uint32_t zoneCount, std::uint32_t round,
                         std::uint32_t rounds, double simulatedSeconds, double wallSeconds);

}  // namespace kes::demo
