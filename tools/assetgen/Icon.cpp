#include "Icon.hpp"

#include <algorithm>
#include <cmath>

namespace assetgen {
namespace {

// 1 inside, 0 outside, over one pixel's width around `edge` (distances in icon units).
float inside(float distanceOutside, float pixel) {
    return std::clamp(0.5f - distanceOutside / pixel, 0.0f, 1.0f);
}

// A point's distance outside the triangle (negative inside).
float triangleDistance(glm::vec2 p, glm::vec2 a, glm::vec2 b, glm::vec2 c) {
    const auto edge = [&p](glm::vec2 from, glm::vec2 to) {
        const glm::vec2 along = glm::normalize(to - from);
        const glm::vec2 outward(along.y, -along.x);
        return glm::dot(p - from, outward);
    };
    return std::max({edge(a, b), edge(b, c), edge(c, a)});
}

glm::vec4 over(const glm::vec4& below, const glm::vec3& colour, float coverage) {
    const float alpha = coverage + below.a * (1.0f - coverage);
    if (alpha <= 0.0f) {
        return glm::vec4(0.0f);
    }
    const glm::vec3 mixed =
        (colour * coverage + glm::vec3(below) * below.a * (1.0f - coverage)) / alpha;
    return glm::vec4(mixed, alpha);
}

}  // namespace

Image paintIcon(int size) {
    Image icon(size, size, 4);
    const float pixel = 1.0f / static_cast<float>(size);
    icon.fill([pixel](glm::vec2 uv) {
        const glm::vec2 p = uv - glm::vec2(0.5f);  // the centre at 0, y up
        const float r = glm::length(p);
        glm::vec4 colour(0.0f);
        // The disc: night blue, lighter towards its rim.
        const glm::vec3 night = glm::mix(glm::vec3(0.03f, 0.06f, 0.18f),
                                         glm::vec3(0.10f, 0.30f, 0.65f), std::min(r / 0.47f, 1.0f));
        colour = over(colour, night, inside(r - 0.47f, pixel));
        // The amber ring, seen a little from the side.
        const glm::vec2 ring(p.x, (p.y - 0.06f) / 0.62f);
        const float ringDistance = std::fabs(glm::length(ring) - 0.27f) - 0.035f;
        colour = over(colour, glm::vec3(1.0f, 0.62f, 0.12f), inside(ringDistance * 0.8f, pixel));
        // The ship's arrow, white, flying up through the ring's middle.
        const float arrow = triangleDistance(p, {0.0f, 0.30f}, {-0.15f, -0.26f}, {0.15f, -0.26f});
        const float notch = triangleDistance(p, {0.0f, -0.12f}, {-0.16f, -0.30f}, {0.16f, -0.30f});
        colour =
            over(colour, glm::vec3(0.97f, 0.98f, 1.0f), inside(std::max(arrow, -notch), pixel));
        return colour;
    });
    return icon;
}

}  // namespace assetgen
