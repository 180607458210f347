// Where things stand on a course, written down once: the course laid out along its control
// points, where the ship starts, where the zones and asteroids stand, the sizes of their
// colliders and where the sun is. The race, the course checks and the level's look all read
// it; nothing here knows how anything is drawn.
#pragma once

#include <cstddef>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/course/Course.hpp"
#include "game/course/RacePath.hpp"

namespace kes::level {

// Every course is sampled every 10 units. The first course's tube has a radius of 25, and it
// has ten zones, ten asteroids and the ship's start at mid point 5; other courses say theirs.
inline constexpr float kMidPointSpacing = 10.0f;
inline constexpr float kTubeRadius = 25.0f;

inline constexpr std::size_t kZoneCount = 10;
inline constexpr std::size_t kAsteroidCount = 10;
inline constexpr std::size_t kShipStartMidPoint = 5;

// Colliders, in units. Capsules are given by radius and height.
inline constexpr float kShipHullRadius = 2.5f;
inline constexpr float kShipHullHeight = 6.0f;
inline constexpr glm::vec3 kShipWingHalfExtents{2.5f, 2.0f, 2.0f};
inline constexpr float kShipWingOffset = 5.0f;  // each wing's centre, left and right
inline constexpr float kZoneSphereRadius = 50.0f;
inline constexpr float kZoneModelScale = 13.5f;  // the ring drawn around that sphere
inline constexpr float kAsteroidRadius = 6.0f;
inline constexpr float kAsteroidHeight = 18.0f;

inline constexpr glm::vec3 kSunPosition{-132.0f, 48.0f, 167.0f};
inline constexpr float kSunRadius = 45.0f;
// The course's own sun, or the level's.
glm::vec3 sunPosition(const Course& course);

// The course through its control points, measured as it says and sampled.
void layOutCourse(RacePath& path, const Course& course = firstCourse());

// The mid point of each of `count` zones spread over the course: one every count-th of it,
// whatever the count of mid points (never one more, never past the end).
std::vector<std::size_t> zoneMidPoints(std::size_t midPointCount, std::size_t count = kZoneCount);
// The mid point of each of `count` asteroids spread over the course: half-way between the
// zones, five further on.
std::vector<std::size_t> asteroidMidPoints(std::size_t midPointCount,
                                           std::size_t count = kAsteroidCount);
// The course's zones and asteroids: its listed mid points, or spread as above.
std::vector<std::size_t> zoneMidPoints(const Course& course, std::size_t midPointCount);
std::vector<std::size_t> asteroidMidPoints(const Course& course, std::size_t midPointCount);
// A zone at mid point k faces along the course (towards the next mid point, the first after
// the last).
glm::quat zoneOrientation(const std::vector<PathMidPoint>& mids, std::size_t k);
// The ship at launch: its nose turned back along the start of the course.
glm::quat shipLaunchOrientation(const RacePath& path);

}  // namespace kes::level
