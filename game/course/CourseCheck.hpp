// Whether a course can be flown fairly, checked on the course laid out as the game lays it out.
// A problem refuses the course; a warning is said and the course still loads. The README's
// table of course checks lists every one.
#pragma once

#include <optional>
#include <vector>

#include "game/course/Course.hpp"
#include "game/course/CourseFile.hpp"

namespace kes {

struct CourseLimits {
    // The course's length by its own measure, in units.
    static constexpr float kShortest = 1000.0f;
    static constexpr float kLongest = 20000.0f;
    // How far from the world's origin a point may stand, in units on each axis: far enough for
    // any course of the longest length, near enough that single precision still places the
    // ship to a hundredth of a unit.
    static constexpr float kFarthest = 50000.0f;
    // Two stretches that are not neighbours along the course should keep this many tube radii
    // between their centre lines, or their walls meet (a warning: the first course itself
    // crosses over at 1.78 radii). Closer than kTubeMerges radii the tubes run into one and
    // the ship can cross from one stretch to the other: the course is refused.
    static constexpr float kTubeClearance = 2.5f;
    static constexpr float kTubeMerges = 1.5f;
    // The tightest bend: what the ship turns at its top speed without the closeness bonus
    // (30 units a second at 90 degrees a second: a radius of 19.1 units). A bend tighter than
    // what it turns at the full bonus of hard difficulty (180 units a second: 114.6) warns.
    static constexpr float kTightestBend = 19.1f;
    static constexpr float kTightestBendAtFullBonus = 114.6f;
    // The longest course before a warning: a round of over two minutes at the usual pace.
    static constexpr float kLongWarning = 12000.0f;
};

struct CourseCheck {
    std::optional<CourseNote> problem;
    std::vector<CourseNote> warnings;
};

// Checks `course`; `lines` says where its parts were written (all 0 for a course that has no
// file, such as one grown from a seed).
CourseCheck checkCourse(const Course& course, const CourseLines& lines = {});

// The smallest radius of the course's bends, measured over its mid points (units).
float tightestBendRadius(const Course& course);

}  // namespace kes
