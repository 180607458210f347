#include "demo/DemoLayer.hpp"

#include <algorithm>
#include <cstdio>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "gpu/FrameCapture.hpp"

namespace kes::demo {

std::string progressLine(std::uint32_t nextZone, std::uint32_t zoneCount, std::uint32_t round,
                         std::uint32_t rounds, double simulatedSeconds, double wallSeconds) {
    std::ostringstream line;
    line << std::fixed << std::setprecision(1) << "Demo progress: round " << round << " of "
         << rounds << ", next zone " << nextZone << " of " << zoneCount << ", " << simulatedSeconds
         << " s of flight simulated in " << wallSeconds << " s (" << std::setprecision(2)
         << (wallSeconds > 0.0 ? simulatedSeconds / wallSeconds : 0.0) << "x real time)";
    return line.str();
}

DemoLayer::DemoLayer(App& app, GameLayer& game, const DemoOptions& options, DemoProfile& profile,
                     const Ghost* replay)
    : m_app(app), m_game(game), m_options(options), m_profile(profile), m_pilot(game.autopilot()) {
    game.addRaceObserver(this);
    if (options.gpuTiming) {
        m_gpuTimer = std::make_unique<GpuPassTimer>();
        game.renderer().setPassTimer(m_gpuTimer.get());
    }
    if (!options.audioOut.empty()) {
        recorder = std::make_unique<AudioRecorder>(app.audio, options.recordingPath());
    }
    if (replay != nullptr) {
        judge = std::make_unique<ReplayJudge>(*replay, game.simulation());
        game.addRaceObserver(judge.get());
        game.flyRecorded(replay);
    }
}

DemoLayer::~DemoLayer() {
    m_game.removeRaceObserver(this);
    if (judge != nullptr) {
        m_game.removeRaceObserver(judge.get());
        m_game.flyRecorded(nullptr);
    }
    if (m_game.renderer().currentPassTimer() == m_gpuTimer.get()) {
        m_game.renderer().setPassTimer(nullptr);
    }
}

bool DemoLayer::roundsFlown() const {
    if (judge != nullptr) {
        return judge->decided();
    }
    return m_game.simulation().race.roundsFinished >= m_options.rounds;
}

void DemoLayer::onRoundFinished(const RoundResult& result) {
    m_profile.addRaceLine(RaceConsole::finishedRoundLine(result));
}

void DemoLayer::onNewBestTime(float /*time*/) {
    m_profile.addRaceLine(RaceConsole::kNewBestTimeLine);
}

void DemoLayer::update(float /*frameDt*/, float /*time*/, float /*alpha*/) {
    constexpr std::chrono::seconds kProgressEvery{5};
    if (std::chrono::steady_clock::now() - m_lastProgress >= kProgressEvery) {
        m_lastProgress = std::chrono::steady_clock::now();
        reportProgress();
    }
}

void DemoLayer::reportProgress() {
    const RaceState& race = m_game.simulation().race;
    const auto zones = static_cast<std::uint32_t>(m_game.simulation().zoneBodies.size());
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - m_created;
    const std::uint32_t round = std::min(race.roundsFinished + 1, m_options.rounds);
    const auto nextZone = static_cast<std::uint32_t>(nextZoneAfter(race.lastChecked, zones));
    std::cout << progressLine(nextZone, zones, round, m_options.rounds,
                              double(fixedSteps) * kFixedStep, wall.count())
              << std::endl;
}

// Runs after the game's render: the frame is complete but not yet shown.
void DemoLayer::render(float /*frameDt*/, float /*time*/, unsigned int /*framebuffer*/,
                       const Viewport* viewport) {
    const auto now = std::chrono::steady_clock::now();
    if (passes == 0) {
        firstFrameSeconds = std::chrono::duration<double>(now - m_created).count();
    }
    const double sinceLast = std::chrono::duration<double>(now - m_lastFrame).count();
    m_profile.recordFrame(passes == 0 ? -1.0 : sinceLast, m_game.quality());
    m_lastFrame = now;
    if (m_gpuTimer != nullptr) {
        m_profile.recordGpu(m_gpuTimer->collect());
    }
    // Reading the count waits for the frame to finish, a wait the game never makes: only when
    // the passes are timed anyway, which waits for each frame too.
    const TransparencyBuffers* lists = m_game.renderer().transparencyLists();
    if (m_options.gpuTiming && lists != nullptr) {
        peakListNodes = std::max(peakListNodes, lists->readNodeCounter());
    }
    const bool due = m_options.screenshotEvery != 0 && passes % m_options.screenshotEvery == 0;
    if (passes == 2 || due) {  // the second frame is the first with the chase camera
        takeScreenshot(*viewport);
    }
    ++passes;
    if (m_steppedThisPass) {
        ++steppingPasses;
    }
    m_steppedThisPass = false;
    if (roundsFlown() || (m_options.frameLimit != 0 && passes >= m_options.frameLimit)) {
        if (!roundsFlown()) {
            takeScreenshot(*viewport);
        }
        m_app.gl.requestClose();
    }
}

// The demo's layer comes after the game's: the step's sounds are already started when the
// recorder renders its 1/60 s of the mix.
double DemoLayer::flightSimulatedSeconds() const {
    return m_flightSteps > 1 ? double(m_flightSteps - 1) * kFixedStep : 0.0;
}

double DemoLayer::flightWallSeconds() const {
    return std::chrono::duration<double>(m_lastStep - m_firstStep).count();
}

void DemoLayer::fixedUpdate(float /*time*/) {
    if (!roundsFlown()) {
        m_lastStep = std::chrono::steady_clock::now();
        if (m_flightSteps++ == 0) {
            m_firstStep = m_lastStep;
        }
    }
    ++fixedSteps;
    m_steppedThisPass = true;
    if (recorder != nullptr) {
        recorder->recordStep();
    }
    if (judge != nullptr) {
        judge->afterStep();
        return;
    }
    m_pilot.step(m_game.simulation().nextZone());
    if (m_options.restartAfter != 0 && !m_restarted &&
        m_game.simulation().flightStep() >= m_options.restartAfter * 60) {
        m_restarted = true;
        m_pilot.releaseAll();
        m_game.restartRace();
        std::cout << "Demo: the race restarted after " << m_options.restartAfter << " s of flight"
                  << std::endl;
    }
}

void DemoLayer::takeScreenshot(const Viewport& viewport) {
    char name[32];
    std::snprintf(name, sizeof(name), "frame-%06u.png", passes);
    const std::filesystem::path path = m_options.screenshotFolder / name;
    if (savePng(captureFramebuffer(0, GL_BACK, viewport.width, viewport.height), path)) {
        screenshots.push_back(path);
    }
}

}  // namespace kes::demo
