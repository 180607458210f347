#include "app/FixedStepLoop.hpp"

#include <algorithm>
#include <ostream>

#include "app/FrameTimer.hpp"

namespace kes {

PassTimes FixedStepClock::beginPass(double measuredDt, double elapsed) {
    PassTimes times;
    const float measured = static_cast<float>(measuredDt);
    times.tooLarge = measured > kMaxFrameTime;
    times.frameDt = std::clamp(measured, 0.0f, kMaxFrameTime);
    times.time = static_cast<float>(elapsed);
    m_accumulator = std::clamp(m_accumulator, 0.0f, kMaxFrameTime);
    return times;
}

bool FixedStepClock::takeFixedStep() {
    // One step at most: a slow machine runs the simulation slower rather than spiralling.
    if (m_accumulator < kFixedStep) {
        return false;
    }
    m_accumulator -= kFixedStep;
    return true;
}

std::optional<std::uint32_t> FixedStepClock::countPass(float frameDt) {
    ++m_passes;
    m_secondCounter += frameDt;
    if (m_secondCounter < 1.0f) {
        return std::nullopt;
    }
    const std::uint32_t passes = m_passes;
    m_secondCounter -= 1.0f;
    m_passes = 0;
    return passes;
}

void runMainLoop(LoopHost& host, FrameTimer& timer, std::ostream& console) {
    timer.reset();
    timer.restartMeasurement();
    FixedStepClock clock;
    if (host.closeRequested()) {
        return;
    }
    do {
        const PassTimes pass = clock.beginPass(timer.duration(), timer.elapsed());
        if (pass.tooLarge) {
            console << "DT is too large :(" << std::endl;
        }
        if (clock.takeFixedStep()) {
            host.fixedStep(pass.time);
        }
        host.updateCamera(pass.frameDt, pass.time);
        host.renderLayers(pass.frameDt, pass.time);
        host.presentFrame();
        host.pollInput();
        host.updateLayers(pass.frameDt, pass.time, clock.alpha());
        clock.accumulate(pass.frameDt);
        timer.tick();
        if (const auto passes = clock.countPass(pass.frameDt)) {
            host.showPassesPerSecond(*passes);
        }
    } while (!host.closeRequested());
}

}  // namespace kes
