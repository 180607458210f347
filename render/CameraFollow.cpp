#include "render/CameraFollow.hpp"

#include <algorithm>
#include <cmath>

#include <glm/gtc/quaternion.hpp>

#include "render/Math.hpp"

namespace kes {

namespace {

constexpr float kFullSpeed = 20.0f;  // units per second at which the view stops changing

}  // namespace

void CamController_FollowSceneNode::update(float /*frameDt*/, float /*time*/) {
    if (node == nullptr) {
        return;
    }
    const float speed = body != nullptr ? glm::length(body->getLinearVelocity()) : 0.0f;
    const float t = std::clamp(speed / kFullSpeed, 0.0f, 1.0f);
    // Saturates fast: most of the closing in happens below a quarter of full speed.
    const float s =
        std::clamp(static_cast<float>(1.0 - 1.0 / std::pow(400.0, double(t))), 0.0f, 1.0f);
    const glm::vec3 tiltDegrees((1.0f - s) * 30.5f + s * 15.5f, s * 3.0f, 0.0f);
    glm::quat facing = node->render.orientation;
    if (keepLevel) {
        // The node's heading with the world's up, unless it points straight up or down.
        const glm::vec3 ahead = facing * glm::vec3(0.0f, 0.0f, 1.0f);
        const glm::vec3 worldUp(0.0f, 1.0f, 0.0f);
        if (glm::length(glm::cross(worldUp, ahead)) > 0.05f) {
            facing = glm::quatLookAtLH(ahead, worldUp);
        }
    }
    const glm::quat q = facing * glm::quat(tiltDegrees * kDegreesToRadians);

    camera->distance = (1.0f - s) * 17.0f + s * 14.0f;
    camera->direction = q * glm::vec3(0.0f, 0.0f, 1.0f);
    camera->up = q * glm::vec3(0.0f, 1.0f, 0.0f);
    camera->fov = (1.0f - t) * 80.0f + t * 100.0f;
    camera->target = node->render.position;
    camera->dirty = true;
}

}  // namespace kes
