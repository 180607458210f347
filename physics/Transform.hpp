// Where a thing stands: a position and an orientation. A scene node draws whatever gives it one
// (a physics body, in the game): the renderer follows bodies through this one interface.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace kes {

// Turn rates and angles are written in degrees; this one factor makes them radians everywhere
// (the ship's flight, the autopilot, the camera), so a flown turn is the same number in all.
inline constexpr float kDegreesToRadians = 0.017453292f;

// Position and orientation; the quaternion is stored x, y, z, w.
struct Transform {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};  // identity (GLM's constructor is w first)
};

// Anything a scene node can follow.
class TransformSource {
public:
    virtual Transform getTransform() const = 0;

protected:
    ~TransformSource() = default;
};

}  // namespace kes
