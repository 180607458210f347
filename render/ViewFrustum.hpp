// The camera's view as six planes, to leave out what cannot be seen: a model whose bounding
// sphere lies wholly outside one of them gives no pixel, so the geometry pass skips it (the sun
// alone is some 130 000 triangles, and out of view most of the course).
#pragma once

#include <array>

#include <glm/glm.hpp>

namespace kes {

class ViewFrustum {
public:
    // The planes of the clip volume of `viewProj` (projection x view), in world space.
    explicit ViewFrustum(const glm::mat4& viewProj);

    // True when the sphere lies wholly outside the view; a sphere that touches it is kept.
    bool excludes(const glm::vec3& centre, float radius) const;

private:
    std::array<glm::vec4, 6> m_planes;  // xyz: inward normal (unit); w: offset
};

// The bounding sphere of a model of `radius` about its origin, placed by `model`: the centre
// moved and the radius grown by the matrix's largest scale.
struct BoundingSphere {
    glm::vec3 centre;
    float radius;
};
BoundingSphere placedSphere(const glm::mat4& model, float radius);

}  // namespace kes
