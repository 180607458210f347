// A course: the control points of its closed spline, how the spline is measured, the tube's
// radius, where the zones and asteroids stand, where the ship starts and, optionally, the sun.
// The game's courses come from files ("assets/courses/*.course", see CourseFile) or are grown
// from a seed (CourseSeed); the first course is also compiled in, so the game always has one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <glm/glm.hpp>

namespace kes {

// How the spline's length is measured, which spaces the mid points everything stands on.
enum class CourseMeasure : std::uint8_t {
    plane,  // in the x-y plane only: the first course's measure, kept for its figures
    curve,  // along the curve in 3-D: mid points evenly spaced however the course climbs
};

// Where the zones or asteroids stand: spread over the course by the level's formula, or at
// listed mid points.
struct Placement {
    std::uint32_t count = 0;
    std::vector<std::uint32_t> midPoints;  // empty: spread
};

struct CourseSun {
    glm::vec3 position{0.0f};
    glm::vec3 colour{1.0f};
};

// Target times a course file may set for itself, in seconds; the game computes them otherwise.
struct CourseTargets {
    float bronze = 0.0f;
    float silver = 0.0f;
    float gold = 0.0f;
};

struct Course {
    static constexpr std::uint32_t kFormat = 1;
    static constexpr std::size_t kFewestPoints = 4;
    static constexpr std::size_t kMostPoints = 256;
    static constexpr std::uint32_t kFewestZones = 4;
    static constexpr std::uint32_t kMostZones = 20;
    static constexpr std::uint32_t kMostAsteroids = 30;
    static constexpr float kSmallestTube = 10.0f;
    static constexpr float kLargestTube = 60.0f;

    std::string name;   // what the settings and the records call it: "prime-loop", "seed:42"
    std::string title;  // what the player reads: "Prime Loop"
    std::vector<glm::vec3> controlPoints;
    CourseMeasure measure = CourseMeasure::curve;
    float tubeRadius = 25.0f;
    Placement zones{10, {}};
    Placement asteroids{10, {}};
    std::uint32_t startMidPoint = 5;
    std::optional<CourseSun> sun;  // none: the level's own
    // None: computed from the autopilot's round. Not part of the course's flying content (its
    // canonical text and hash): new times keep the records.
    std::optional<CourseTargets> targets;
};

inline constexpr const char* kFirstCourseName = "prime-loop";

// The first course, compiled in: the one the game had before courses were files.
Course firstCourse();

// The course written in the course file format, canonically: numbers in a fixed form, sections
// in a fixed order, no comments. Two courses that fly the same have the same text.
std::string canonicalCourseText(const Course& course);

// A hash of the course's flying content (its canonical text without the title): the records
// of an edited course are not those of the course it was. FNV-1a, 64 bits.
std::uint64_t courseHash(const Course& course);

// "0123456789abcdef"
std::string hashText(std::uint64_t hash);

}  // namespace kes
