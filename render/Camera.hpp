// The scene camera: it orbits a target at a distance along a view direction, turned by yaw and
// pitch. Whoever changes a field sets `dirty`; update() then rebuilds the matrices once.
#pragma once

#include <glm/glm.hpp>

namespace kes {

struct Camera {
    Camera(float fov, float aspect, float nearPlane, float farPlane, const glm::vec3& target,
           float distance, const glm::vec3& direction, const glm::vec3& up);

    // Recomputes eye, view, proj and viewProj when dirty; true when it did.
    bool update();

    glm::vec3 target;
    float distance;
    glm::vec3 direction;  // unit, before the yaw/pitch rotation
    glm::vec3 up;         // unit, before the yaw/pitch rotation
    glm::vec3 eye;
    float yaw = 0.0f;    // degrees, about y
    float pitch = 0.0f;  // degrees, about x
    bool dirty = false;
    float fov;  // degrees, vertical
    float aspect;
    float nearPlane;
    float farPlane;
    glm::mat4 view;
    glm::mat4 proj;
    glm::mat4 viewProj;
};

}  // namespace kes
