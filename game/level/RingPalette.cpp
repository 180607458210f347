#include "game/level/RingPalette.hpp"

#include <algorithm>
#include <cmath>

#include "game/level/LevelLayout.hpp"

namespace kes {
namespace {

// Dichromat simulation matrices on linear RGB (Machado, Oliveira and Fernandes 2009, severity
// 1), written as rows.
constexpr float kProtanopia[3][3] = {{0.152286f, 1.052583f, -0.204868f},
                                     {0.114503f, 0.786281f, 0.099216f},
                                     {-0.003882f, -0.048116f, 1.051998f}};
constexpr float kDeuteranopia[3][3] = {{0.367322f, 0.860646f, -0.227968f},
                                       {0.280085f, 0.672501f, 0.047413f},
                                       {-0.011820f, 0.042940f, 0.968881f}};
constexpr float kTritanopia[3][3] = {{1.255528f, -0.076749f, -0.178779f},
                                     {-0.078411f, 0.930809f, 0.147602f},
                                     {0.004733f, 0.691367f, 0.303900f}};

glm::vec3 apply(const float (&m)[3][3], const glm::vec3& c) {
    return {m[0][0] * c.r + m[0][1] * c.g + m[0][2] * c.b,
            m[1][0] * c.r + m[1][1] * c.g + m[1][2] * c.b,
            m[2][0] * c.r + m[2][1] * c.g + m[2][2] * c.b};
}

glm::vec3 toLab(const glm::vec3& linear) {
    const glm::vec3 c = glm::clamp(linear, glm::vec3(0.0f), glm::vec3(1.0f));
    // Linear sRGB to XYZ (D65), relative to the white point.
    const glm::vec3 xyz{(0.4124f * c.r + 0.3576f * c.g + 0.1805f * c.b) / 0.95047f,
                        0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b,
                        (0.0193f * c.r + 0.1192f * c.g + 0.9505f * c.b) / 1.08883f};
    const auto f = [](float t) {
        return t > 0.008856f ? std::cbrt(t) : 7.787f * t + 16.0f / 116.0f;
    };
    return {116.0f * f(xyz.y) - 16.0f, 500.0f * (f(xyz.x) - f(xyz.y)),
            200.0f * (f(xyz.y) - f(xyz.z))};
}

}  // namespace

RingColours nextRingColours(ColourVision colours) {
    switch (colours) {
        case ColourVision::redGreen: return {{1.0f, 0.85f, 0.0f}, {1.1f, 0.9f, 0.0f}};
        case ColourVision::blueYellow: return {{1.0f, 0.15f, 0.1f}, {1.1f, 0.12f, 0.08f}};
        case ColourVision::standard: break;
    }
    return {level::kNextZoneLook.albedo, level::kNextZoneLook.emissive};  // the amber ring
}

glm::vec3 seenBy(Vision vision, const glm::vec3& colour) {
    switch (vision) {
        case Vision::protanopia: return apply(kProtanopia, colour);
        case Vision::deuteranopia: return apply(kDeuteranopia, colour);
        case Vision::tritanopia: return apply(kTritanopia, colour);
        case Vision::normal: break;
    }
    return colour;
}

float colourDistance(const glm::vec3& a, const glm::vec3& b) {
    return glm::length(toLab(a) - toLab(b));
}

}  // namespace kes
