// The three uniform blocks the shaders read, laid out byte for byte as their std140 blocks:
// per-frame data at binding 0, the lights at binding 1 and the shadow matrices at binding 2.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include <glm/glm.hpp>

namespace kes {

inline constexpr std::size_t kMaxLights = 10;

struct perFrameData {
    static constexpr const char* kTypeName = "kes::perFrameData";

    glm::mat4 viewProj{1.0f};  // in the shadow pass: the light's matrix
    glm::mat4 viewProjInv{1.0f};
    glm::mat4 view{0.0f};
    glm::mat4 viewInv{0.0f};
    glm::mat4 viewInvTrans{0.0f};  // for normals in view space
    glm::mat4 proj{0.0f};
    glm::mat4 projInv{0.0f};
    glm::vec3 camPos{0.0f};
    float time = 0.0f;       // seconds since the loop started
    float deltaTime = 0.0f;  // the pass's frame time
    std::uint32_t width = 1;
    std::uint32_t height = 1;
};

struct LightRecord {
    std::uint32_t type;  // 0 point, 1 spot
    glm::vec3 coefficients;
    glm::vec3 position;
    float factor;
    glm::vec3 color;
    std::uint32_t castsShadow;
    glm::vec3 spotDirection;
    std::uint32_t shadowMapIndex;
    float spotCos0;
    float spotCos1;
    std::uint32_t padding[2];
};

struct lightBuffer {
    static constexpr const char* kTypeName = "kes::lightBuffer";

    std::uint32_t count;
    std::uint32_t padding[3];
    std::array<LightRecord, kMaxLights> lights;
};

struct shadowBuffer {
    static constexpr const char* kTypeName = "kes::shadowBuffer";

    struct Entry {
        glm::mat4 viewProj;
        glm::mat4 viewProjInv;
    };
    std::uint32_t count;
    std::uint32_t padding[3];
    std::array<Entry, kMaxLights> maps;
};

static_assert(sizeof(perFrameData) == 476);
static_assert(offsetof(perFrameData, viewProjInv) == 64);
static_assert(offsetof(perFrameData, viewInvTrans) == 256);
static_assert(offsetof(perFrameData, projInv) == 384);
static_assert(offsetof(perFrameData, camPos) == 448);
static_assert(offsetof(perFrameData, time) == 460);
static_assert(offsetof(perFrameData, deltaTime) == 464);
static_assert(offsetof(perFrameData, width) == 468);
static_assert(offsetof(perFrameData, height) == 472);

static_assert(sizeof(LightRecord) == 80);
static_assert(offsetof(LightRecord, coefficients) == 4);
static_assert(offsetof(LightRecord, position) == 16);
static_assert(offsetof(LightRecord, factor) == 28);
static_assert(offsetof(LightRecord, color) == 32);
static_assert(offsetof(LightRecord, castsShadow) == 44);
static_assert(offsetof(LightRecord, spotDirection) == 48);
static_assert(offsetof(LightRecord, shadowMapIndex) == 60);
static_assert(offsetof(LightRecord, spotCos0) == 64);
static_assert(offsetof(LightRecord, spotCos1) == 68);
static_assert(sizeof(lightBuffer) == 816);
static_assert(offsetof(lightBuffer, lights) == 16);

static_assert(sizeof(shadowBuffer) == 1296);
static_assert(offsetof(shadowBuffer, maps) == 16);
static_assert(offsetof(shadowBuffer::Entry, viewProjInv) == 64);

}  // namespace kes
