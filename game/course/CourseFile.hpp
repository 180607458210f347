// The course file: a small INI-like text, read by a parser of its own so that every problem can
// name its line (the settings' INI library does not tell lines).
//
//   ; The first course.
//   [Course]
//   Format = 1
//   Title = Prime Loop
//   Measure = plane       ; plane (length in the x-y plane) or curve (along the curve in 3-D)
//   TubeRadius = 25
//   Start = 5             ; the ship's start mid point
//   [Points]
//   Point = -400 0 0      ; one line a control point, in order
//   ...
//   [Zones]
//   Count = 10            ; spread over the course; or list their mid points:
//   At = 0 46 92 ...
//   [Asteroids]
//   Count = 10
//   [Sun]                 ; optional
//   Position = -132 48 167
//   Colour = 1 0.976 0.921
//   [Targets]             ; optional: the course's own medal times in seconds, falling
//   Bronze = 80           ; from bronze to gold (otherwise a warning, and the game computes
//   Silver = 70           ; them from the autopilot's round)
//   Gold = 62
//
// Keys and section names are matched without regard to case; numbers are written with a point,
// whatever the locale.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "game/course/Course.hpp"

namespace kes {

// The largest course file read: a course of the most control points is about 10 KiB.
inline constexpr std::size_t kMaxCourseFileBytes = 64 * 1024;

// Where in the file each part of the course was written, for problems found after parsing.
struct CourseLines {
    std::size_t tubeRadius = 0;
    std::size_t start = 0;
    std::size_t zones = 0;      // the zones' Count (or At) line
    std::size_t asteroids = 0;  // the asteroids' Count (or At) line
    std::vector<std::size_t> points;
};

// A problem or a warning: its line (0: the file as a whole) and what is wrong.
struct CourseNote {
    std::size_t line = 0;
    std::string text;
};

struct CourseParse {
    std::optional<Course> course;  // none when the text is refused
    CourseLines lines;
    std::optional<CourseNote> problem;
    std::vector<CourseNote> warnings;
};

// Parses `text` as the course `name`. A text that is not a course (not text, no [Course]
// section, a format this game does not read, a malformed line, a number that is not finite)
// is refused with its problem.
CourseParse parseCourse(const std::string& text, const std::string& name);

}  // namespace kes
