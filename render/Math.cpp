#include "render/Math.hpp"

#include <cmath>

namespace kes {

glm::mat4 lookAt(const glm::vec3& direction, const glm::vec3& up, const glm::vec3& eye) {
    const glm::vec3 f = glm::normalize(direction);
    const glm::vec3 u = glm::normalize(up);
    const glm::vec3 s = glm::normalize(glm::cross(direction, up));

    glm::mat4 rotation(1.0f);  // element [column][row]
    for (int column = 0; column < 3; ++column) {
        rotation[column][0] = s[column];
        rotation[column][1] = u[column];
        rotation[column][2] = f[column];
    }
    glm::mat4 translation(1.0f);
    translation[3] = glm::vec4(-eye, 1.0f);
    return rotation * translation;
}

glm::mat4 perspective(float fov, float aspect, float nearPlane, float farPlane) {
    return perspectiveFromHalfTangent(std::tan(fov * kDegreesToRadians * 0.5f), aspect, nearPlane,
                                      farPlane);
}

glm::mat4 perspectiveFromHalfTangent(float t, float aspect, float nearPlane, float farPlane) {
    glm::mat4 m(0.0f);
    m[0][0] = 1.0f / (t * aspect);
    m[1][1] = 1.0f / t;
    m[2][2] = (farPlane + nearPlane) / (farPlane - nearPlane);
    m[2][3] = 1.0f;
    m[3][2] = -(2.0f * farPlane * nearPlane) / (farPlane - nearPlane);
    return m;
}

}  // namespace kes
