// How the level looks, written down once: the look of its models, the sun's light and the
// chase camera's resting view. Where things stand on a course (CourseLayout) comes with it. The
// game builds the level from both; the renderer's game-like scene and the tests read the same
// numbers.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/course/Course.hpp"
#include "game/course/CourseLayout.hpp"
#include "render/Camera.hpp"
#include "render/Lights.hpp"
#include "render/Model.hpp"

namespace kes::level {

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
inline constexpr ModelLook kSunLook{nullptr, kSunRadius, "water",         glm::vec3(1.0f),
                                    0.2f,    0.95f,      glm::vec3(1.0f), false};
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

inline constexpr glm::vec3 kSunColour{1.0f, 0.976f, 0.921f};
// The sun's light: a warm white point light at the sun, a tenth of it reaching everything;
// where the course places its own sun, there and in its colour.
LightDesc sunLight(const Course& course = firstCourse());

// The model a look describes, with the textures and meshes of `assetsFolder`; a generated
// sphere is cut as `tessellation` says.
Model makeModel(const std::filesystem::path& assetsFolder, const ModelLook& look,
                SphereTessellation tessellation = SphereTessellation{});

// The chase camera's resting view: 30.5 degrees down, 17 units behind its target.
inline constexpr float kCameraTilt = 0.5323254f;
inline constexpr float kCameraDistance = 17.0f;
void restCamera(Camera& camera, const glm::vec3& target);

}  // namespace kes::level
