#include "render/Lights.hpp"

#include <cmath>

#include "render/Math.hpp"

namespace kes {

LightRecord makeLightRecord(const LightDesc& desc, std::uint32_t shadowMapIndex) {
    LightRecord record{};
    record.type = desc.type;
    record.coefficients = desc.coefficients;
    record.position = desc.position;
    record.factor = desc.factor;
    record.color = desc.color;
    record.castsShadow = 1;
    record.shadowMapIndex = shadowMapIndex;
    if (desc.type == kSpotLight) {
        record.spotDirection = desc.spotDirection;
        record.spotCos0 = desc.spotCos0;
        record.spotCos1 = desc.spotCos1;
    }
    return record;
}

namespace {

glm::mat4 spotLightMatrix(const LightRecord& light, float aspect, float n, float f) {
    const glm::mat4 view = lookAt(light.spotDirection, glm::vec3(0.0f, 1.0f, 0.0f), light.position);
    const float t = std::tan(std::acos(light.spotCos1) * 0.5f);
    return perspectiveFromHalfTangent(t, aspect, n, f) * view;
}

// Looks from the light at the camera's target, with "up" chosen across the camera's view so
// the map's rows follow the screen's.
glm::mat4 pointLightMatrix(const LightRecord& light, float aspect, float n, float f,
                           const Camera& camera) {
    const glm::vec3 c = glm::normalize(camera.direction);
    const glm::vec3 d = glm::normalize(camera.target - light.position);
    const glm::vec3 u = glm::normalize(glm::cross(-c, d));
    return perspective(90.0f, aspect, n, f) * lookAt(d, u, light.position);
}

}  // namespace

std::optional<glm::mat4> computeLightMatrix(const LightRecord& light, float aspect, float nearPlane,
                                            float farPlane, const Camera& camera) {
    switch (light.type) {
        case kSpotLight: return spotLightMatrix(light, aspect, nearPlane, farPlane);
        case kPointLight: return pointLightMatrix(light, aspect, nearPlane, farPlane, camera);
        default: return std::nullopt;
    }
}

}  // namespace kes
