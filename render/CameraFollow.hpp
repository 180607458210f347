// The chase camera: every pass it sits behind the followed node, looking along the node's
// orientation tilted downwards, and as the node speeds up it closes in, flattens its tilt,
// turns slightly aside and widens its view.
#pragma once

#include "physics/Physics.hpp"
#include "render/Camera.hpp"
#include "render/CameraController.hpp"
#include "render/SceneNode.hpp"

namespace kes {

class CamController_FollowSceneNode final : public CameraController {
public:
    // Writes `camera_`, which must outlive the controller.
    explicit CamController_FollowSceneNode(Camera* camera_) : camera(camera_) {}

    void update(float frameDt, float time) override;
    void fixedUpdate(float /*time*/) override {}

    SceneNode* node = nullptr;  // not owned; without it the camera keeps its values
    // Not owned; its speed draws the camera in. Without it the node counts as resting.
    const RigidBody* body = nullptr;
    Camera* camera;
    // The horizon kept level (the world's up as the camera's, never rolling with the node):
    // for players who are unwell with a rolling view.
    bool keepLevel = false;
};

}  // namespace kes
