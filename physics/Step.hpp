// The simulation's step: the physics world, the ship's flight, the race's clock and the ghosts
// all move on steps of exactly this length, whatever the machine draws.
#pragma once

namespace kes {

inline constexpr float kFixedStep = 1.0f / 60.0f;  // seconds of simulation per fixed step

}  // namespace kes
