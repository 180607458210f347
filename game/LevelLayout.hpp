// The level, written down once: the course and its tube, where the ship starts, where the
// zones and asteroids stand, the sizes of their colliders, the look of their models, the sun
// and its light, and the chase camera's resting view. The game builds the level from it; the
// renderer's game-like scene and the tests read the same numbers.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/Course.hpp"
#include "game/RacePath.hpp"
#include "render/Camera.hpp"
#include "render/Lights.hpp"
#include "render/Model.hpp"

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

// What a model looks like: its mesh (or, for the sun, a generated sphere of `sphereRadius`),
// its material and the material's constants where it has no texture.
struct ModelLook {
    const char* mesh;  // nullptr: a generated sphere
    float sphereRadius;
    const char* material;
    glm::vec3 albedo;
    float metalness;
    float roughness;
    glm::vec3 emissive;
    // Whether the material reads its textures ("<mesh>_albedo.png", ...). The rings are
    // coloured by their constants alone: the next ring's amber is its albedo and emission.
    bool textures;
};
inline constexpr ModelLook kShipLook{"plane2", 0.0f, "pbr",           glm::vec3(0.3f),
                                     0.5f,     0.1f, glm::vec3(0.0f), true};
inline constexpr ModelLook kAsteroidLook{"Asteroid1", 0.0f, "pbr",           glm::vec3(0.3f),
                                         0.5f,        0.1f, glm::vec3(0.0f), true};
inline constexpr ModelLook kSunLook{nullptr, 45.0f, "water",         glm::vec3(1.0f),
                                    0.2f,    0.95f, glm::vec3(1.0f), false};
inline constexpr ModelLook kZoneLook{"Targetzone", 0.0f, "pbr",           glm::vec3(1.0f),
                                     0.0f,         1.0f, glm::vec3(1.0f), false};
// The zone to touch next: the same ring, glowing amber.
inline constexpr ModelLook kNextZoneLook{"Targetzone",
                                         0.0f,
                                         "pbr",
                                         glm::vec3(1.0f, 0.45f, 0.05f),
                                         0.0f,
                                         1.0f,
                                         glm::vec3(1.1f, 0.38f, 0.03f),
                                         false};

inline constexpr glm::vec3 kSunPosition{-132.0f, 48.0f, 167.0f};
inline constexpr glm::vec3 kSunColour{1.0f, 0.976f, 0.921f};
// The sun's light: a warm white point light at the sun, a tenth of it reaching everything;
// where the course places its own sun, there and in its colour.
LightDesc sunLight(const Course& course = firstCourse());
glm::vec3 sunPosition(const Course& course);

// The model a look describes, with the textures and meshes of `assetsFolder`; a generated
// sphere is cut as `tessellation` says.
Model makeModel(const std::filesystem::path& assetsFolder, const ModelLook& look,
                SphereTessellation tessellation = SphereTessellation{});

// The chase camera's resting view: 30.5 degrees down, 17 units behind its target.
inline constexpr float kCameraTilt = 0.5323254f;
inline constexpr float kCameraDistance = 17.0f;
void restCamera(Camera& camera, const glm::vec3& target);

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
