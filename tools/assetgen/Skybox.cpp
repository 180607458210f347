#include "Skybox.hpp"

#include <algorithm>
#include <cmath>

#include "Noise.hpp"

namespace assetgen {

glm::vec3 cubeFaceDirection(int face, const glm::vec2& uv) {
    // GL's cube-map convention: s and t from the face's major axis, t running down the face
    // from its first uploaded row.
    const float sc = 2.0f * uv.x - 1.0f;
    const float tc = 2.0f * uv.y - 1.0f;
    switch (face) {
        case 0: return glm::normalize(glm::vec3(1.0f, -tc, -sc));
        case 1: return glm::normalize(glm::vec3(-1.0f, -tc, sc));
        case 2: return glm::normalize(glm::vec3(sc, 1.0f, tc));
        case 3: return glm::normalize(glm::vec3(sc, -1.0f, -tc));
        case 4: return glm::normalize(glm::vec3(sc, -tc, 1.0f));
        default: return glm::normalize(glm::vec3(-sc, -tc, -1.0f));
    }
}

namespace {

struct StarLayer {
    float density;     // grid cells per unit of direction space
    float chance;      // of a cell near the sky holding a star
    float size;        // radians, the width of a star's core
    float brightness;  // of the layer's brightest stars
    float glow;        // share of light in a soft halo around the core
    std::uint32_t seed;
};

// Stars sit at jittered points of a 3D grid with cells 1 / density wide; each cell holds at most
// one, and only points within half a cell of the unit sphere count, so the stars are spread
// evenly over the sky. Every star's light is cut off within 0.7 cells of it: the cells around
// `d` are then all that can light `d`, and no star is ever clipped at a cell border.
glm::vec3 starLight(const glm::vec3& d, const StarLayer& layer, float crowding) {
    const float reach = 0.7f / layer.density;
    const glm::ivec3 cell(glm::floor(d * layer.density));
    glm::vec3 light(0.0f);
    for (int z = -1; z <= 1; ++z) {
        for (int y = -1; y <= 1; ++y) {
            for (int x = -1; x <= 1; ++x) {
                const glm::ivec3 c = cell + glm::ivec3(x, y, z);
                const std::uint32_t seed = layer.seed;
                if (hashUnit(c.x, c.y, c.z, seed) > layer.chance * crowding) {
                    continue;
                }
                const glm::vec3 jitter(hashUnit(c.x, c.y, c.z, seed + 1u),
                                       hashUnit(c.x, c.y, c.z, seed + 2u),
                                       hashUnit(c.x, c.y, c.z, seed + 3u));
                const glm::vec3 point = (glm::vec3(c) + jitter) / layer.density;
                if (std::abs(glm::length(point) - 1.0f) > 0.5f / layer.density) {
                    continue;
                }
                const float angle = glm::length(d - glm::normalize(point));
                if (angle > reach) {
                    continue;
                }
                const float magnitude = std::pow(hashUnit(c.x, c.y, c.z, seed + 4u), 4.0f);
                const float core = std::exp(-(angle * angle) / (layer.size * layer.size));
                const float halo = layer.glow * std::exp(-angle / (layer.size * 4.0f));
                const float fade = 1.0f - angle / reach;
                // Colour from the star's temperature: red dwarfs to blue giants.
                const float temperature = hashUnit(c.x, c.y, c.z, seed + 5u);
                const glm::vec3 tint = glm::mix(glm::vec3(1.0f, 0.74f, 0.52f),
                                                glm::vec3(0.72f, 0.84f, 1.0f), temperature);
                light += tint * layer.brightness * (0.2f + 0.8f * magnitude) * (core + halo) * fade;
            }
        }
    }
    return light;
}

glm::vec3 nebula(const glm::vec3& d) {
    // Domain warping makes the clouds curl instead of looking like plain noise.
    const glm::vec3 warp(fbm(d * 1.7f, 3, 71u), fbm(d * 1.7f + 5.2f, 3, 72u),
                         fbm(d * 1.7f + 9.7f, 3, 73u));
    const float cloud = fbm(d * 2.3f + warp * 1.4f, 5, 74u);
    const float density = std::clamp(cloud * 1.6f + 0.15f, 0.0f, 1.0f);
    const float hue = fbm(d * 1.1f + 3.0f, 2, 75u) * 0.5f + 0.5f;
    const glm::vec3 violet(0.20f, 0.07f, 0.28f);
    const glm::vec3 teal(0.03f, 0.16f, 0.22f);
    const glm::vec3 ember(0.26f, 0.08f, 0.06f);
    const glm::vec3 colour = hue < 0.5f ? glm::mix(ember, violet, hue * 2.0f)
                                        : glm::mix(violet, teal, hue * 2.0f - 1.0f);
    return colour * density * density * 0.55f;
}

// A faint dusty band along a great circle, like the disc of a galaxy seen edge on.
glm::vec3 galacticBand(const glm::vec3& d) {
    const glm::vec3 bandNormal = glm::normalize(glm::vec3(0.3f, 0.85f, -0.42f));
    const float offset = glm::dot(d, bandNormal);
    const float band = std::exp(-offset * offset / 0.035f);
    const float dust = 0.5f + 0.5f * fbm(d * 6.0f, 4, 91u);
    const float lanes = std::clamp(1.2f - 2.0f * std::abs(fbm(d * 9.0f, 3, 92u)), 0.0f, 1.0f);
    return glm::vec3(0.085f, 0.072f, 0.066f) * band * dust * lanes;
}

}  // namespace

glm::vec3 skyColour(const glm::vec3& d) {
    const glm::vec3 deepSpace(0.0015f, 0.0018f, 0.005f);
    const glm::vec3 bandLight = galacticBand(d);
    // More faint stars crowd into the band.
    const float crowding = 1.0f + 8.0f * bandLight.g;
    // About 6000 faint stars, 2300 clear ones and 200 bright ones with halos over the sky.
    static constexpr StarLayer kFaint{200.0f, 0.012f, 0.0009f, 0.9f, 0.0f, 1000u};
    static constexpr StarLayer kClear{60.0f, 0.05f, 0.0011f, 1.6f, 0.03f, 2000u};
    static constexpr StarLayer kBright{16.0f, 0.06f, 0.0014f, 4.0f, 0.08f, 3000u};
    const glm::vec3 stars =
        starLight(d, kFaint, crowding) + starLight(d, kClear, 1.0f) + starLight(d, kBright, 1.0f);
    return deepSpace + nebula(d) + bandLight + stars;
}

Image paintSkyboxFace(int face, int size) {
    Image image(size, size, 3);
    image.fill([face](const glm::vec2& uv) {
        const glm::vec3 c = skyColour(cubeFaceDirection(face, uv));
        // Display gamma, so the dim nebula keeps its gradations in 8 bits.
        return glm::vec4(glm::pow(glm::clamp(c, 0.0f, 1.0f), glm::vec3(1.0f / 2.2f)), 1.0f);
    });
    return image;
}

}  // namespace assetgen
