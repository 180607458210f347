#include "app/FrameTimer.hpp"

#include <chrono>
#include <utility>

namespace kes {

using Clock = std::chrono::steady_clock;
const std::int64_t kCounterFrequency = Clock::period::den / Clock::period::num;

std::int64_t readPerformanceCounter() {
    return Clock::now().time_since_epoch().count();
}

FrameTimer::FrameTimer(Counter counter) : m_counter(std::move(counter)) {}

void FrameTimer::reset() {
    m_elapsed = 0.0;
    m_duration = 0.0;
    m_lastReading = m_counter();
    m_running = true;
}

double FrameTimer::sinceLastTick() const {
    return static_cast<double>(m_counter() - m_lastReading) /
           static_cast<double>(kCounterFrequency);
}

void FrameTimer::tick() {
    if (!m_running) {
        return;
    }
    const std::int64_t reading = m_counter();
    m_duration =
        static_cast<double>(reading - m_lastReading) / static_cast<double>(kCounterFrequency);
    m_elapsed += m_duration;
    // Read again so the time spent in this bookkeeping counts towards the next pass.
    m_lastReading = m_counter();
}

}  // namespace kes
