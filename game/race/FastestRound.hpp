// The least time in which a course can be flown, as a bound for what a record may claim. Every
// zone is a sphere the ship's colliders must touch, so between touching one zone and the next
// the ship's centre covers at least the straight line between their centres less both zones'
// reach (the sphere's radius and the farthest collider point from the ship's centre): every
// turn cut, inside the tube or outside it. It flies that at the ship's top speed with the full
// closeness bonus of the hardest difficulty, and a tenth is taken off for margin (the clock and
// the touches fall on whole steps).
#pragma once

#include <vector>

#include "game/course/Course.hpp"
#include "game/race/Records.hpp"

namespace kes {

// For each split of a round of `course` (each zone after the first, then the finish at zone
// 0), the least time since the round's start at which it can come, in seconds; empty for a
// course that cannot be laid out.
std::vector<float> fastestSplits(const Course& course);

// What a record of `course` must be: a split for each of its zones, none sooner than above.
RecordFit recordFitOf(const Course& course);

}  // namespace kes
