#include "app/FixedStepLoop.hpp"

#include <algorithm>
#include <cmath>
#include <ostream>

#include "app/FrameTimer.hpp"

namespace kes {

PassTimes FixedStepClock::beginPass(double measuredDt, double elapsed) {
    PassTimes times;
    const float measured = static_cast<float>(measuredDt);
    times.tooLarge = measured > kMaxFrameTime;
    times.realDt = std::max(measured, 0.0f);
    times.frameDt = std::clamp(measured, 0.0f, kMaxFrameTime);
    times.time = static_cast<float>(elapsed);
    m_accumulator = std::clamp(m_accumulator, 0.0f, kMaxFrameTime * std::max(m_speed, 1.0f));
    return times;
}

void FixedStepClock::setSpeed(float speed) {
    m_speed = std::clamp(speed, 0.25f, 4.0f);
}

// One more than the speed asks for, so the leftovers of single-precision steps catch up; at
// real time or slower, one (a slow machine runs the simulation slower rather than spiralling).
std::uint32_t FixedStepClock::mostStepsAPass() const {
    return m_speed > 1.0f ? static_cast<std::uint32_t>(std::ceil(m_speed)) + 1 : 1;
}

bool FixedStepClock::takeFixedStep() {
    // One step at most: a slow machine runs the simulation slower rather than spiralling.
    if (m_accumulator < kFixedStep) {
        return false;
    }
    m_accumulator -= kFixedStep;
    ++m_steps;
    return true;
}

float FixedStepClock::stepStartTime() const {
    return m_steps == 0 ? 0.0f : static_cast<float>(double(m_steps - 1) * double(kFixedStep));
}

float FixedStepClock::alpha() const {
    return std::clamp(m_accumulator / kFixedStep, 0.0f, 1.0f);
}

std::optional<std::uint32_t> FixedStepClock::countPass(float realDt) {
    ++m_passes;
    m_secondCounter += realDt;
    if (m_secondCounter < 1.0f) {
        return std::nullopt;
    }
    // Passes a second over the time gathered: a pass longer than a second still reads right.
    const auto rate = static_cast<std::uint32_t>(std::lround(double(m_passes) / m_secondCounter));
    m_secondCounter = 0.0f;
    m_passes = 0;
    return rate;
}

void runMainLoop(LoopHost& host, FrameTimer& timer, std::ostream& console) {
    timer.reset();
    timer.restartMeasurement();
    FixedStepClock clock;
    if (host.closeRequested()) {
        return;
    }
    bool lastPassPaused = false;  // the pass whose time the next one measures
    do {
        const PassTimes pass = clock.beginPass(timer.duration(), timer.elapsed());
        // A paused pass is slow by design, and the simulation it would slow down stands still.
        if (pass.tooLarge && !lastPassPaused) {
            console << "DT is too large :(" << std::endl;
        }
        const bool paused = host.simulationPaused();
        clock.setSpeed(host.simulationSpeed());
        for (std::uint32_t step = 0;
             !paused && step < clock.mostStepsAPass() && clock.takeFixedStep(); ++step) {
            host.fixedStep(clock.stepStartTime());
        }
        host.updateCamera(pass.frameDt, pass.time);
        host.renderLayers(pass.frameDt, pass.time);
        host.presentFrame();
        host.pollInput();
        host.updateLayers(pass.frameDt, pass.time, clock.alpha());
        if (!paused) {
            clock.accumulate(pass.frameDt);
        }
        lastPassPaused = host.simulationPaused();
        const double shortest = lastPassPaused ? kPausedPassTime : host.shortestPass();
        if (shortest > 0.0) {
            const double left = shortest - timer.sinceLastTick();
            if (left > 0.0) {
                host.waitForEvents(left);
            }
        }
        timer.tick();
        if (const auto passes = clock.countPass(pass.realDt)) {
            host.showPassesPerSecond(*passes);
            host.everySecond();
        }
    } while (!host.closeRequested());
}

}  // namespace kes
