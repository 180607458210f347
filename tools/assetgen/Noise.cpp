#include "Noise.hpp"

#include <cmath>
#include <initializer_list>

namespace assetgen {

std::uint32_t hash(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed) {
    std::uint32_t h = seed * 0x9E3779B9u;
    for (const std::uint32_t v : {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                                  static_cast<std::uint32_t>(z)}) {
        h ^= v + 0x7F4A7C15u + (h << 6) + (h >> 2);
        h *= 0x85EBCA6Bu;
        h ^= h >> 13;
    }
    h *= 0xC2B2AE35u;
    h ^= h >> 16;
    return h;
}

float hashUnit(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed) {
    return static_cast<float>(hash(x, y, z, seed) >> 8) / 16777216.0f;
}

namespace {

glm::vec3 latticeGradient(const glm::ivec3& cell, std::uint32_t seed) {
    const float a = hashUnit(cell.x, cell.y, cell.z, seed) * 6.2831853f;
    const float z = hashUnit(cell.x, cell.y, cell.z, seed + 17u) * 2.0f - 1.0f;
    const float r = std::sqrt(1.0f - z * z);
    return {r * std::cos(a), r * std::sin(a), z};
}

float fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

}  // namespace

float gradientNoise(const glm::vec3& p, std::uint32_t seed) {
    const glm::vec3 base = glm::floor(p);
    const glm::ivec3 cell(base);
    const glm::vec3 f = p - base;
    float corners[2][2][2];
    for (int dz = 0; dz < 2; ++dz) {
        for (int dy = 0; dy < 2; ++dy) {
            for (int dx = 0; dx < 2; ++dx) {
                const glm::vec3 offset(static_cast<float>(dx), static_cast<float>(dy),
                                       static_cast<float>(dz));
                corners[dz][dy][dx] =
                    glm::dot(latticeGradient(cell + glm::ivec3(dx, dy, dz), seed), f - offset);
            }
        }
    }
    const glm::vec3 w(fade(f.x), fade(f.y), fade(f.z));
    const auto lerp = [](float a, float b, float t) { return a + (b - a) * t; };
    const float y0 = lerp(lerp(corners[0][0][0], corners[0][0][1], w.x),
                          lerp(corners[0][1][0], corners[0][1][1], w.x), w.y);
    const float y1 = lerp(lerp(corners[1][0][0], corners[1][0][1], w.x),
                          lerp(corners[1][1][0], corners[1][1][1], w.x), w.y);
    // Scaled so the result spans about [-1, 1].
    return lerp(y0, y1, w.z) * 1.6f;
}

float fbm(const glm::vec3& p, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    glm::vec3 q = p;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * gradientNoise(q, seed + static_cast<std::uint32_t>(octave) * 101u);
        q *= 2.03f;
        amplitude *= 0.5f;
    }
    return sum;
}

float ridged(const glm::vec3& p, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 0.5f;
    glm::vec3 q = p;
    for (int octave = 0; octave < octaves; ++octave) {
        const float n =
            1.0f - std::abs(gradientNoise(q, seed + static_cast<std::uint32_t>(octave) * 31u));
        sum += amplitude * n * n;
        q *= 2.1f;
        amplitude *= 0.5f;
    }
    return sum;
}

}  // namespace assetgen
