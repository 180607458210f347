// The main loop's arithmetic and order, apart from the window: a pass measures its frame time,
// takes at most one fixed simulation step, renders, presents, polls input, updates the layers
// with the leftover fraction of a step, and once a second reports the pass count.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>

namespace kes {

class FrameTimer;

inline constexpr float kFixedStep = 1.0f / 60.0f;     // seconds of simulation per fixed step
inline constexpr float kMaxFrameTime = 1.0f / 30.0f;  // seconds; longer passes are cut to this

struct PassTimes {
    float frameDt = 0.0f;   // the measured pass time, limited to 0 ... kMaxFrameTime
    float time = 0.0f;      // seconds since the loop started
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
    float alpha() const { return m_accumulator / kFixedStep; }
    void accumulate(float frameDt) { m_accumulator += frameDt; }
    // Counts the pass; once a full second has gathered, returns the passes it held.
    std::optional<std::uint32_t> countPass(float frameDt);

private:
    float m_accumulator = kFixedStep;
    float m_secondCounter = 0.0f;
    std::uint32_t m_passes = 0;
};

// What the loop drives. The application implements it over its window, layers and physics;
// tests implement it to watch the loop without a window.
class LoopHost {
public:
    virtual bool closeRequested() = 0;
    // Physics, then the camera controller's and the layers' fixed updates.
    virtual void fixedStep(float time) = 0;
    virtual void updateCamera(float frameDt, float time) = 0;
    virtual void renderLayers(float frameDt, float time) = 0;
    virtual void presentFrame() = 0;
    virtual void pollInput() = 0;
    virtual void updateLayers(float frameDt, float time, float alpha) = 0;
    virtual void showPassesPerSecond(std::uint32_t passes) = 0;

protected:
    ~LoopHost() = default;
};

// Runs passes until the host asks to close; returns at once when it already does.
void runMainLoop(LoopHost& host, FrameTimer& timer, std::ostream& console);

}  // namespace kes
