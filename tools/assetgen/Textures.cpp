#include "Textures.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

#include "Meshes.hpp"
#include "Noise.hpp"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

// Surface properties of one texel; the texture set is painted from a function returning them.
struct Surface {
    glm::vec3 albedo{0.5f};
    float metal = 0.0f;
    float roughness = 0.5f;
    glm::vec3 emissive{0.0f};
    float height = 0.0f;  // relief for the normal map, in texels of the image
};

using SurfaceAt = std::function<Surface(const glm::vec2& uv)>;

// A line of width `width` every `spacing` along t: 1 on the line, 0 away from it.
float gridLine(float t, float spacing, float width) {
    const float f = std::abs(t / spacing - std::round(t / spacing)) * spacing;
    return 1.0f - std::clamp((f - width * 0.5f) / (width * 0.5f), 0.0f, 1.0f);
}

TextureSet paintSet(int size, const SurfaceAt& surfaceAt) {
    Image albedo(size, size, 4), metal(size, size, 1), roughness(size, size, 1),
        emissive(size, size, 3), heights(size, size, 1);
    for (Image* image : {&albedo, &metal, &roughness, &emissive, &heights}) {
        image->fill([&](const glm::vec2& uv) {
            const Surface s = surfaceAt(uv);
            if (image == &albedo)
                return glm::vec4(s.albedo, 1.0f);
            if (image == &metal)
                return glm::vec4(s.metal);
            if (image == &roughness)
                return glm::vec4(s.roughness);
            if (image == &emissive)
                return glm::vec4(s.emissive, 1.0f);
            return glm::vec4(s.height);
        });
    }
    // Normals from the height field's slopes; texels wrap around in u.
    Image normal(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float left = heights.get((x + size - 1) % size, y).r;
            const float right = heights.get((x + 1) % size, y).r;
            const float down = heights.get(x, std::max(y - 1, 0)).r;
            const float up = heights.get(x, std::min(y + 1, size - 1)).r;
            const glm::vec3 n = glm::normalize(glm::vec3(left - right, down - up, 2.0f));
            normal.set(x, y, glm::vec4(n * 0.5f + 0.5f, 1.0f));
        }
    }
    TextureSet set;
    set.emplace("albedo", std::move(albedo));
    set.emplace("normal", std::move(normal));
    set.emplace("metal", std::move(metal));
    set.emplace("roughness", std::move(roughness));
    set.emplace("emissive", std::move(emissive));
    return set;
}

// --- the ship ---------------------------------------------------------------------------

const glm::vec3 kHullWhite(0.80f, 0.81f, 0.84f);
const glm::vec3 kRacingBlue(0.05f, 0.22f, 0.75f);
const glm::vec3 kSignalOrange(1.0f, 0.42f, 0.06f);
const glm::vec3 kGunmetal(0.16f, 0.17f, 0.19f);

Surface hullSurface(const glm::vec2& uv) {
    // u runs around the hull from +x over the top (0.25) to the belly (0.75).
    const float along = uv.y / ShipSheet::kHullEnd;  // tail 0 ... nose 1
    Surface s;
    s.albedo = glm::mix(kHullWhite, kGunmetal,
                        std::clamp((std::abs(uv.x - 0.75f) < 0.16f) ? 1.0f : 0.0f, 0.0f, 1.0f));
    const float stripe = std::abs(uv.x - 0.25f);
    if (stripe < 0.035f) {
        s.albedo = kRacingBlue;
    } else if (stripe < 0.045f) {
        s.albedo = kSignalOrange;
    }
    if (along > 0.93f) {
        s.albedo = kSignalOrange;  // the nose tip
    }
    const float panels =
        std::max(gridLine(uv.x, 1.0f / 16.0f, 0.004f), gridLine(along, 0.11f, 0.006f));
    const float grime = 0.5f + 0.5f * fbm(glm::vec3(uv * 24.0f, 1.0f), 4, 301u);
    s.albedo *= (1.0f - 0.55f * panels) * (0.92f + 0.08f * grime);
    s.metal = 0.55f;
    s.roughness = 0.28f + 0.2f * grime + 0.3f * panels;
    s.height = -2.0f * panels;
    return s;
}

Surface canopySurface(const glm::vec2& uv) {
    const float t = (uv.y - ShipSheet::kHullEnd) / (ShipSheet::kCanopyEnd - ShipSheet::kHullEnd);
    Surface s;
    s.albedo = glm::vec3(0.03f, 0.06f, 0.09f);
    s.metal = 0.1f;
    s.roughness = 0.05f;
    const float frame = std::max(gridLine(t, 0.5f, 0.04f), gridLine(uv.x, 0.5f, 0.02f));
    s.albedo = glm::mix(s.albedo, kGunmetal, frame);
    s.emissive = glm::vec3(0.0f, 0.25f, 0.35f) * (1.0f - frame) * 0.35f;
    s.height = 1.5f * frame;
    return s;
}

Surface wingSurface(const glm::vec2& uv) {
    const float span = uv.x;
    const float chord =
        (uv.y - ShipSheet::kCanopyEnd) / (ShipSheet::kWingEnd - ShipSheet::kCanopyEnd);
    Surface s;
    s.albedo = kHullWhite;
    if (chord > 0.82f) {
        s.albedo = kRacingBlue;  // the leading edge
    }
    // Two chevrons pointing forward.
    const float chevron = std::abs(chord - 0.45f - 0.25f * std::abs(span - 0.5f));
    if (chevron < 0.04f && span > 0.15f && span < 0.85f) {
        s.albedo = kSignalOrange;
    }
    const float panels = std::max(gridLine(span, 0.2f, 0.006f), gridLine(chord, 0.25f, 0.008f));
    s.albedo *= 1.0f - 0.5f * panels;
    s.metal = 0.5f;
    s.roughness = 0.3f + 0.3f * panels;
    s.height = -2.0f * panels;
    if (span > 0.96f) {
        s.emissive = glm::vec3(0.1f, 0.9f, 1.0f);  // wing-tip lights
    }
    return s;
}

Surface finSurface(const glm::vec2& uv) {
    const float height = (uv.y - ShipSheet::kWingEnd) / (ShipSheet::kFinEnd - ShipSheet::kWingEnd);
    Surface s;
    s.albedo = height > 0.8f ? kHullWhite : kRacingBlue;
    s.metal = 0.45f;
    s.roughness = 0.35f;
    return s;
}

Surface nozzleSurface(const glm::vec2& uv) {
    const float depth = (uv.y - ShipSheet::kFinEnd) / (1.0f - ShipSheet::kFinEnd);  // 0 centre
    Surface s;
    s.albedo = kGunmetal;
    s.metal = 0.9f;
    s.roughness = 0.4f;
    const float glow = 1.0f - std::clamp(depth, 0.0f, 1.0f);
    s.emissive =
        glm::mix(glm::vec3(1.0f, 0.35f, 0.05f), glm::vec3(0.6f, 0.9f, 1.0f), glow * glow) * glow;
    s.height = gridLine(uv.x, 1.0f / 24.0f, 0.01f);
    return s;
}

Surface shipSurface(const glm::vec2& uv) {
    if (uv.y < ShipSheet::kHullEnd)
        return hullSurface(uv);
    if (uv.y < ShipSheet::kCanopyEnd)
        return canopySurface(uv);
    if (uv.y < ShipSheet::kWingEnd)
        return wingSurface(uv);
    if (uv.y < ShipSheet::kFinEnd)
        return finSurface(uv);
    return nozzleSurface(uv);
}

// --- the asteroid -----------------------------------------------------------------------

// The point of the asteroid's capsule (radius 6, segment 18 along x) that texture coordinate
// uv maps to: u around the x axis, v along the capsule's profile from -x to +x.
glm::vec3 capsulePointAt(const glm::vec2& uv) {
    constexpr float kRadius = 6.0f;
    constexpr float kHalfLength = 9.0f;
    const float cap = 0.5f * kPi * kRadius;
    const float total = 2.0f * cap + 2.0f * kHalfLength;
    const float a = uv.y * total;
    float axial = 0.0f;
    float radius = kRadius;
    if (a < cap) {
        axial = -kHalfLength - kRadius * std::cos(a / kRadius);
        radius = kRadius * std::sin(a / kRadius);
    } else if (a < cap + 2.0f * kHalfLength) {
        axial = -kHalfLength + (a - cap);
    } else {
        const float b = (a - cap - 2.0f * kHalfLength) / kRadius;
        axial = kHalfLength + kRadius * std::sin(b);
        radius = kRadius * std::cos(b);
    }
    const float angle = 2.0f * kPi * uv.x;
    return {axial, radius * std::cos(angle), radius * std::sin(angle)};
}

Surface asteroidSurface(const glm::vec2& uv) {
    const glm::vec3 p = capsulePointAt(uv);
    const float relief = asteroidRelief(p);
    const float grain = fbm(p * 1.3f, 5, 401u);
    const float mineral = fbm(p * 0.35f, 3, 402u);
    Surface s;
    const glm::vec3 basalt(0.16f, 0.15f, 0.14f);
    const glm::vec3 dust(0.38f, 0.33f, 0.27f);
    const glm::vec3 rust(0.36f, 0.19f, 0.10f);
    s.albedo = glm::mix(basalt, dust, std::clamp(0.5f + relief * 0.4f + grain * 0.5f, 0.0f, 1.0f));
    s.albedo = glm::mix(s.albedo, rust, std::clamp(mineral * 2.0f - 0.2f, 0.0f, 0.6f));
    s.metal = std::clamp(0.05f + (mineral > 0.3f ? 0.3f : 0.0f), 0.0f, 1.0f);
    s.roughness = 0.82f + 0.15f * grain;
    // Faint glowing cracks deep in the hollows.
    const float crack = ridged(p * 0.5f, 2, 403u);
    if (crack > 0.92f && relief < -0.2f) {
        s.emissive = glm::vec3(1.0f, 0.32f, 0.05f) * (crack - 0.92f) * 6.0f;
    }
    s.height = 6.0f * grain + 3.0f * relief;
    return s;
}

}  // namespace

TextureSet paintShipTextures(int size) {
    return paintSet(size, shipSurface);
}

TextureSet paintAsteroidTextures(int size) {
    return paintSet(size, asteroidSurface);
}

}  // namespace assetgen
