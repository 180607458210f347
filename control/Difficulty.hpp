// How much flying close to the course's centre line speeds the ship: the closeness bonus, and
// the difficulty that scales it.
#pragma once

#include <cstdint>

namespace kes {

enum class Difficulty : std::uint8_t { easy = 0, medium = 1, hard = 2 };

// How much the difficulty multiplies the closeness bonus: easy 0.5, medium 2.5, hard 5, any
// other value 1.
float difficultyFactor(Difficulty difficulty);

// 1 + closeness x difficulty factor, where closeness is 1 within 7 units of the course's
// nearest mid point and falls linearly to 0 at 44.5 units.
float speedFactorFor(Difficulty difficulty, float distanceToCourse);

}  // namespace kes
