// A clock that starts when an object's construction begins: a class takes it as its first
// base, so it runs before any member is built, and reads it at the end of its constructor.
#pragma once

#include <chrono>

namespace kes {

class ConstructionClock {
protected:
    double secondsSinceConstructionBegan() const {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - m_began;
        return elapsed.count();
    }

private:
    std::chrono::steady_clock::time_point m_began = std::chrono::steady_clock::now();
};

}  // namespace kes
