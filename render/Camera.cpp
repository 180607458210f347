#include "render/Camera.hpp"

#include <cmath>

#include "render/Math.hpp"

namespace kes {
namespace {

// Ry x Rx: pitch about x first, then yaw about y.
glm::mat4 yawPitchRotation(float yawDegrees, float pitchDegrees) {
    const float p = pitchDegrees * kDegreesToRadians;
    const float y = yawDegrees * kDegreesToRadians;
    const glm::mat4 rx(glm::vec4(1, 0, 0, 0), glm::vec4(0, std::cos(p), -std::sin(p), 0),
                       glm::vec4(0, std::sin(p), std::cos(p), 0), glm::vec4(0, 0, 0, 1));
    const glm::mat4 ry(glm::vec4(std::cos(y), 0, -std::sin(y), 0), glm::vec4(0, 1, 0, 0),
                       glm::vec4(std::sin(y), 0, std::cos(y), 0), glm::vec4(0, 0, 0, 1));
    return ry * rx;
}

}  // namespace

Camera::Camera(float fov_, float aspect_, float nearPlane_, float farPlane_,
               const glm::vec3& target_, float distance_, const glm::vec3& direction_,
               const glm::vec3& up_)
    : target(target_),
      distance(distance_),
      direction(glm::normalize(direction_)),
      up(glm::normalize(up_)),
      eye(target_ - distance_ * direction),
      fov(fov_),
      aspect(aspect_),
      nearPlane(nearPlane_),
      farPlane(farPlane_),
      view(lookAt(direction, up, eye)),
      proj(perspective(fov, aspect, nearPlane, farPlane)),
      viewProj(proj * view) {}

bool Camera::update() {
    if (!dirty) {
        return false;
    }
    const glm::mat4 rotation = yawPitchRotation(yaw, pitch);
    const glm::vec3 d = glm::normalize(glm::vec3(rotation * glm::vec4(direction, 1.0f)));
    const glm::vec3 u = glm::normalize(glm::vec3(rotation * glm::vec4(up, 1.0f)));
    eye = target - distance * d;
    view = lookAt(d, u, eye);
    proj = perspective(fov, aspect, nearPlane, farPlane);
    viewProj = proj * view;
    dirty = false;
    return true;
}

}  // namespace kes
