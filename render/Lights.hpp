// Lights and the matrices of their shadow maps. A point light has no frustum of its own: its
// shadow map looks from the light at whatever the camera follows, so the ground around the
// ship is always covered. A spot light looks along its own direction.
#pragma once

#include <cstdint>
#include <optional>

#include <glm/glm.hpp>

#include "gpu/UniformBlocks.hpp"
#include "render/Camera.hpp"

namespace kes {

enum LightType : std::uint32_t { kPointLight = 0, kSpotLight = 1 };

struct LightDesc {
    std::uint32_t type;      // LightType
    glm::vec3 coefficients;  // attenuation: constant, linear, quadratic
    float factor;            // the share of the light that reaches everything (ambient)
    glm::vec3 color;
    glm::vec3 position;
    glm::vec3 spotDirection;  // spot lights only
    float spotCos0;           // cosine of the full-intensity cone
    float spotCos1;           // cosine of the cone's edge; also the shadow frustum
};
static_assert(sizeof(LightDesc) == 64);

// The block entry of a light that casts its shadow into layer `shadowMapIndex`. The spot
// fields stay zero for other kinds.
LightRecord makeLightRecord(const LightDesc& desc, std::uint32_t shadowMapIndex);

// The light's projection x view, or nothing for a kind the renderer does not know.
std::optional<glm::mat4> computeLightMatrix(const LightRecord& light, float aspect, float nearPlane,
                                            float farPlane, const Camera& camera);

}  // namespace kes
