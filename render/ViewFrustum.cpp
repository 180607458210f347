#include "render/ViewFrustum.hpp"

#include <algorithm>

namespace kes {

// Each plane is a sum or difference of the matrix's last row and another row (the clip
// volume is -w <= x, y, z <= w).
ViewFrustum::ViewFrustum(const glm::mat4& viewProj) {
    const glm::vec4 row0(viewProj[0][0], viewProj[1][0], viewProj[2][0], viewProj[3][0]);
    const glm::vec4 row1(viewProj[0][1], viewProj[1][1], viewProj[2][1], viewProj[3][1]);
    const glm::vec4 row2(viewProj[0][2], viewProj[1][2], viewProj[2][2], viewProj[3][2]);
    const glm::vec4 row3(viewProj[0][3], viewProj[1][3], viewProj[2][3], viewProj[3][3]);
    m_planes = {row3 + row0, row3 - row0, row3 + row1, row3 - row1, row3 + row2, row3 - row2};
    for (glm::vec4& plane : m_planes) {
        const float length = glm::length(glm::vec3(plane));
        plane = length > 0.0f ? plane / length : glm::vec4(0.0f, 0.0f, 0.0f, 1.0f);
    }
}

bool ViewFrustum::excludes(const glm::vec3& centre, float radius) const {
    return std::any_of(m_planes.begin(), m_planes.end(), [&](const glm::vec4& plane) {
        return glm::dot(glm::vec3(plane), centre) + plane.w < -radius;
    });
}

BoundingSphere placedSphere(const glm::mat4& model, float radius) {
    const float largestScale =
        std::max({glm::length(glm::vec3(model[0])), glm::length(glm::vec3(model[1])),
                  glm::length(glm::vec3(model[2]))});
    return {glm::vec3(model[3]), radius * largestScale};
}

}  // namespace kes
