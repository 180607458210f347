// Where a round was won or lost against another: the time gained or lost at points all along
// the course, not only at the rings. Between two rings both rounds fly a section; a point a
// share of the way along it (by the distance each round flew there) is the same place of the
// course for both, and the difference is how much sooner or later the watched round got there.
// At the rings it is the difference of the splits exactly.
#pragma once

#include <cstddef>
#include <vector>

#include "game/ghost/Ghost.hpp"

namespace kes {

struct DifferencePoint {
    float seconds = 0.0f;     // into the watched round
    float difference = 0.0f;  // negative: gained (there sooner than the other round)
};

// From the start (0, 0) to the last ring both rounds reached, `pointsPerSection` points a
// section, the last of each at its ring.
std::vector<DifferencePoint> differenceAlongRound(const Ghost& ghost, const Ghost& other,
                                                  std::size_t pointsPerSection = 12);

}  // namespace kes
