// The main loop's arithmetic and order, apart from the window: a pass measures its frame time,
// takes at most one fixed simulation step (or, with the simulation sped up S times, at most S),
// renders, presents, polls input, updates the layers with the leftover fraction of a step, and
// once a second of real time reports the pass count.
// The simulation keeps its own clock, the steps taken times kFixedStep: on a machine too slow
// for 60 steps a second it runs slower than real time, and everything it decides (the race's
// times, the asteroids' swing) follows the flight, not the machine.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

#include "physics/Step.hpp"

namespace kes {

class FrameTimer;

inline constexpr float kMaxFrameTime = 1.0f / 30.0f;  // seconds; longer passes are cut to this
// While paused the picture stands still: a pass takes at least this long (30 passes a second at
// most), so a paused game does not keep a GPU drawing the same frame thousands of times.
inline constexpr double kPausedPassTime = 1.0 / 30.0;  // seconds

struct PassTimes {
    float frameDt = 0.0f;   // the measured pass time, limited to 0 ... kMaxFrameTime
    float time = 0.0f;      // seconds since the loop started
    float realDt = 0.0f;    // the measured pass time, not limited (never negative)
    bool tooLarge = false;  // the measured pass time was above kMaxFrameTime
};

// Accumulator, one-second counter and pass count of the loop.
class FixedStepClock {
public:
    // The accumulator starts full, so the very first pass takes a fixed step.
    FixedStepClock() = default;

    PassTimes beginPass(double measuredDt, double elapsed);
    // True, and one step taken from the accumulator, when a whole fixed step is due.
    bool takeFixedStep();
    // Seconds of simulation before the step just taken: 0 for the first step, then 1/60 more
    // for each. Counted in steps, so it never drifts.
    float stepStartTime() const;
    std::uint64_t stepsTaken() const { return m_steps; }
    // How far the scene is drawn between the last two steps. The accumulator can hold up to
    // two steps (one step a pass at most, or none while paused), but a scene drawn past its
    // last step would be a guess that snaps back: the fraction stays within [0, 1].
    float alpha() const;
    void accumulate(float frameDt) { m_accumulator += frameDt * m_speed; }
    // Simulated seconds a second of real time, from 1/4 to 4 (a replay watched slowed or sped
    // up); above 1 a pass may take up to that many steps and one more.
    void setSpeed(float speed);
    std::uint32_t mostStepsAPass() const;
    // Counts the pass, which took `realDt` seconds of real time; once a full second has
    // gathered, returns the passes it held.
    std::optional<std::uint32_t> countPass(float realDt);

private:
    float m_accumulator = kFixedStep;
    float m_speed = 1.0f;
    float m_secondCounter = 0.0f;
    std::uint64_t m_steps = 0;
    std::uint32_t m_passes = 0;
};

// What the loop drives. The application implements it over its window, layers and physics;
// tests implement it to watch the loop without a window.
class LoopHost {
public:
    virtual bool closeRequested() = 0;
    // Physics, then the camera controller's and the layers' fixed updates. `time` is the
    // simulation's own: seconds of simulation before this step.
    virtual void fixedStep(float time) = 0;
    virtual void updateCamera(float frameDt, float time) = 0;
    virtual void renderLayers(float frameDt, float time) = 0;
    virtual void presentFrame() = 0;
    virtual void pollInput() = 0;
    virtual void updateLayers(float frameDt, float time, float alpha) = 0;
    virtual void showPassesPerSecond(std::uint32_t passes) = 0;
    // Once a second of real time, after the pass count: slow checks that need no more.
    virtual void everySecond() {}
    // While true the simulation stands still: no fixed steps, and no time gathers for them.
    virtual bool simulationPaused() { return false; }
    // Simulated seconds a second of real time (see FixedStepClock::setSpeed).
    virtual float simulationSpeed() { return 1.0f; }
    // The shortest a running pass may take, in seconds: a quicker one waits out the rest (0:
    // passes as fast as they come). The demo paces its replays with it, so that a replay's
    // passes count the same on a fast machine and a slow one.
    virtual double shortestPass() { return 0.0; }
    // Sleeps until an input event arrives or `seconds` have passed; called at the end of a
    // paused pass that was quicker than kPausedPassTime.
    virtual void waitForEvents(double /*seconds*/) {}

protected:
    ~LoopHost() = default;
};

// Runs passes until the host asks to close; returns at once when it already does. A pass that
// took longer than kMaxFrameTime is reported on `console`, unless it was a paused one.
void runMainLoop(LoopHost& host, FrameTimer& timer, std::ostream& console);

}  // namespace kes
