#include "control/Difficulty.hpp"

#include <algorithm>

namespace kes {
namespace {

constexpr float kFullBonusDistance = 7.0f;  // units from the course's nearest mid point
constexpr float kBonusFallOff = 37.5f;      // units over which the bonus falls to none

}  // namespace

float difficultyFactor(Difficulty difficulty) {
    switch (difficulty) {
        case Difficulty::easy: return 0.5f;
        case Difficulty::medium: return 2.5f;
        case Difficulty::hard: return 5.0f;
    }
    return 1.0f;
}

float speedFactorFor(Difficulty difficulty, float distanceToCourse) {
    float closeness = 1.0f;
    if (distanceToCourse > kFullBonusDistance) {
        closeness =
            1.0f - std::clamp((distanceToCourse - kFullBonusDistance) / kBonusFallOff, 0.0f, 1.0f);
    }
    return 1.0f + closeness * difficultyFactor(difficulty);
}

}  // namespace kes
