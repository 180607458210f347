// Deterministic hashing and noise for the asset generator: the same build always writes the
// same bytes, whatever the machine's standard library does with its random engines.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

namespace assetgen {

// A well-mixed 32-bit hash of up to three integers and a seed.
std::uint32_t hash(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed);
// The hash as a float in [0, 1).
float hashUnit(std::int32_t x, std::int32_t y, std::int32_t z, std::uint32_t seed);

// Smooth gradient noise in about [-1, 1].
float gradientNoise(const glm::vec3& p, std::uint32_t seed);
// Fractal sum of `octaves` layers, each twice the frequency and half the amplitude.
float fbm(const glm::vec3& p, int octaves, std::uint32_t seed);
// Sharp creases where the noise crosses zero: rock ridges. About [0, 1].
float ridged(const glm::vec3& p, int octaves, std::uint32_t seed);

}  // namespace assetgen
