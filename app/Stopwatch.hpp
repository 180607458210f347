// Measures phases of start-up on the steady clock: each lap is the time since the previous one
// (or since the stopwatch was made).
#pragma once

#include <chrono>

namespace kes {

class Stopwatch {
public:
    // Seconds since the last lap; the next lap starts now.
    double lap() {
        const auto now = std::chrono::steady_clock::now();
        const std::chrono::duration<double> elapsed = now - m_lapStart;
        m_lapStart = now;
        return elapsed.count();
    }

private:
    std::chrono::steady_clock::time_point m_lapStart = std::chrono::steady_clock::now();
};

}  // namespace kes
