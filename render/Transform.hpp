// Where a thing stands: a position and an orientation. A scene node draws whatever gives it one
// (a physics body, in the game), so the renderer follows bodies without knowing physics.
#pragma once

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace kes {

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
