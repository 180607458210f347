// Measures the time between passes of the main loop with the monotonic performance counter.
#pragma once

#include <cstdint>
#include <functional>

namespace kes {

// Counter ticks per second; the steady clock counts in nanoseconds here.
extern const std::int64_t kCounterFrequency;

// Reads the monotonic performance counter, in ticks of kCounterFrequency.
std::int64_t readPerformanceCounter();

class FrameTimer {
public:
    using Counter = std::function<std::int64_t()>;

    // The counter can be replaced so the loop's timing can be driven by a test.
    explicit FrameTimer(Counter counter = readPerformanceCounter);

    // Zeroes elapsed time and duration, reads the counter and starts running.
    void reset();
    // When running: duration = time since the last reading, added to the elapsed time.
    void tick();
    void stop() { m_running = false; }
    // Re-reads the counter as the last reading, so the next tick measures from now.
    void restartMeasurement() { m_lastReading = m_counter(); }

    // Seconds since the last reading, without taking a tick.
    double sinceLastTick() const;
    double elapsed() const { return m_elapsed; }
    double duration() const { return m_duration; }
    bool running() const { return m_running; }

private:
    Counter m_counter;
    std::int64_t m_lastReading = 0;
    double m_elapsed = 0.0;   // seconds since reset
    double m_duration = 0.0;  // seconds, the last tick
    bool m_running = false;
};

}  // namespace kes
