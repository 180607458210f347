// The simulation's step: the physics world, the ship's flight, the race's clock and the ghosts
// all move on steps of exactly this length, whatever the machine draws.
#pragma once

#include <cstdint>

namespace kes {

inline constexpr float kFixedStep = 1.0f / 60.0f;  // seconds of simulation per fixed step

// The simulation's time at the start of step `step` (counted from 0), as the main loop gives
// it: computed afresh each step rather than summed, so a long run does not drift.
inline float stepTime(std::uint64_t step) {
    return static_cast<float>(double(step) * double(kFixedStep));
}

}  // namespace kes
