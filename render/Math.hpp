// The camera's matrix conventions: column-major 4x4 matrices, a view space that looks along +z,
// and a projection whose clip w is the view-space z with depth mapped to -1 ... 1.
#pragma once

#include <glm/glm.hpp>

#include "physics/Transform.hpp"  // kDegreesToRadians

namespace kes {

// Rows ŝ = normalize(f x u), û = normalize(u), f̂ = normalize(f), then the eye moved to the
// origin. The up vector is normalised but deliberately not made orthogonal to f.
glm::mat4 lookAt(const glm::vec3& direction, const glm::vec3& up, const glm::vec3& eye);

// fov is the vertical field of view in degrees.
glm::mat4 perspective(float fov, float aspect, float nearPlane, float farPlane);

// The same projection from t, the tangent of half the vertical field of view.
glm::mat4 perspectiveFromHalfTangent(float t, float aspect, float nearPlane, float farPlane);

}  // namespace kes
