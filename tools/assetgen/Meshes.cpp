#include "Meshes.hpp"

#include <algorithm>
#include <cmath>

#include "Noise.hpp"
#include "Shapes.hpp"

namespace assetgen {
namespace {

constexpr float kPi = 3.14159265f;

void addHull(MeshBuilder& mesh) {
    // Tail to nose; the first points form the recessed engine nozzle facing backwards.
    const std::vector<ProfilePoint> nozzle{{-4.70f, 0.00f}, {-4.95f, 0.80f}};
    const std::vector<ProfilePoint> body{{-4.95f, 0.80f}, {-5.00f, 1.00f}, {-4.60f, 1.25f},
                                         {-3.50f, 1.45f}, {-2.00f, 1.60f}, {0.00f, 1.62f},
                                         {1.50f, 1.48f},  {3.00f, 1.10f},  {4.20f, 0.62f},
                                         {5.00f, 0.24f},  {5.35f, 0.00f}};
    Lathe hull;
    hull.crossScale = {1.15f, 0.8f};
    hull.segments = 64;
    hull.uvMin = {0.0f, 0.02f};
    hull.uvMax = {1.0f, ShipSheet::kHullEnd};
    addLathe(mesh, body, hull);

    Lathe engine = hull;
    engine.smooth = false;
    engine.uvMin = {0.0f, ShipSheet::kFinEnd};
    engine.uvMax = {1.0f, 1.0f};
    addLathe(mesh, nozzle, engine);
}

void addCanopy(MeshBuilder& mesh) {
    // The upper half of an ellipsoid; its open base lies inside the hull.
    std::vector<ProfilePoint> profile;
    constexpr int kRings = 16;
    for (int i = 0; i <= kRings; ++i) {
        const float a = kPi * static_cast<float>(i) / kRings;  // back pole ... front pole
        profile.push_back({-1.5f * std::cos(a), std::sin(a)});
    }
    Lathe canopy;
    canopy.origin = {0.0f, 0.72f, 1.35f};
    canopy.crossScale = {0.72f, 0.78f};
    canopy.startAngle = 0.0f;
    canopy.sweep = kPi;
    canopy.segments = 24;
    canopy.uvMin = {0.0f, ShipSheet::kHullEnd};
    canopy.uvMax = {1.0f, ShipSheet::kCanopyEnd};
    addLathe(mesh, profile, canopy);
}

std::array<glm::vec3, 8> taperedBlock(glm::vec2 rootX_tipX, glm::vec4 rootZ_tipZ,
                                      glm::vec4 rootY_tipY) {
    std::array<glm::vec3, 8> corners;
    for (int i = 0; i < 8; ++i) {
        const bool tip = (i & 1) != 0;
        const bool top = (i & 2) != 0;
        const bool front = (i & 4) != 0;
        const float x = tip ? rootX_tipX.y : rootX_tipX.x;
        const float z =
            tip ? (front ? rootZ_tipZ.w : rootZ_tipZ.z) : (front ? rootZ_tipZ.y : rootZ_tipZ.x);
        const float y =
            tip ? (top ? rootY_tipY.w : rootY_tipY.z) : (top ? rootY_tipY.y : rootY_tipY.x);
        corners[static_cast<std::size_t>(i)] = {x, y, z};
    }
    return corners;
}

std::array<glm::vec3, 8> mirroredX(std::array<glm::vec3, 8> corners) {
    for (glm::vec3& corner : corners) {
        corner.x = -corner.x;
    }
    return corners;
}

void addWings(MeshBuilder& mesh) {
    // Root inside the hull, tip swept back; x, then z (trailing, leading), then y (bottom, top).
    const auto wing =
        taperedBlock({1.2f, 7.2f}, {-2.0f, 1.8f, -1.9f, -0.5f}, {-0.47f, -0.03f, -0.18f, -0.02f});
    const auto wingUV = [](const glm::vec3& p, const glm::vec3&) {
        const float span = (std::abs(p.x) - 1.2f) / 6.0f;
        const float chord = (p.z + 2.0f) / 3.8f;
        return glm::vec2(span, glm::mix(ShipSheet::kCanopyEnd, ShipSheet::kWingEnd, chord));
    };
    addBlock(mesh, wing, false, wingUV);
    addBlock(mesh, mirroredX(wing), true, wingUV);

    const auto finUV = [](const glm::vec3& p, const glm::vec3&) {
        return glm::vec2((p.z + 4.5f) / 4.0f,
                         glm::mix(ShipSheet::kWingEnd, ShipSheet::kFinEnd,
                                  std::clamp((p.y + 0.2f) / 2.2f, 0.0f, 1.0f)));
    };
    // Wing-tip fins standing up from the tips.
    const auto tipFin =
        taperedBlock({6.95f, 7.25f}, {-1.9f, -0.8f, -1.9f, -0.8f}, {-0.15f, 1.25f, -0.15f, 1.25f});
    addBlock(mesh, tipFin, false, finUV);
    addBlock(mesh, mirroredX(tipFin), true, finUV);
}

void addTailFin(MeshBuilder& mesh) {
    // A thin swept fin on the spine; here "tip" is the top edge, so the corners are built
    // by hand: x thickness, y height, z chord.
    std::array<glm::vec3, 8> fin;
    for (int i = 0; i < 8; ++i) {
        const bool right = (i & 1) != 0;
        const bool top = (i & 2) != 0;
        const bool front = (i & 4) != 0;
        const float x = (right ? 1.0f : -1.0f) * (top ? 0.04f : 0.09f);
        const float y = top ? 2.0f : 0.9f;
        const float z = top ? (front ? -3.4f : -4.3f) : (front ? -2.2f : -4.4f);
        fin[static_cast<std::size_t>(i)] = {x, y, z};
    }
    addBlock(mesh, fin, false, [](const glm::vec3& p, const glm::vec3&) {
        return glm::vec2((p.z + 4.5f) / 2.5f,
                         glm::mix(ShipSheet::kWingEnd, ShipSheet::kFinEnd, (p.y - 0.9f) / 1.1f));
    });
}

}  // namespace

MeshData makeShip() {
    MeshBuilder mesh;
    addHull(mesh);
    addCanopy(mesh);
    addWings(mesh);
    addTailFin(mesh);
    return mesh.finish();
}

float asteroidRelief(const glm::vec3& p) {
    const float broad = 1.6f * fbm(p * 0.07f, 3, 11u);
    const float rock = 1.7f * (ridged(p * 0.21f, 4, 23u) - 0.42f);
    float craters = 0.0f;
    for (std::int32_t i = 0; i < 7; ++i) {
        const glm::vec3 centre(hashUnit(i, 0, 0, 5u) * 28.0f - 14.0f,
                               hashUnit(i, 1, 0, 5u) * 12.0f - 6.0f,
                               hashUnit(i, 2, 0, 5u) * 12.0f - 6.0f);
        const float radius = 2.0f + hashUnit(i, 3, 0, 5u) * 2.5f;
        const float d = glm::length(p - centre) / radius;
        if (d < 1.3f) {
            // A bowl with a raised rim.
            craters += d < 1.0f ? -0.9f * (1.0f - d * d) : 0.35f * (1.3f - d) / 0.3f;
        }
    }
    return std::clamp(broad + rock + craters, -1.7f, 1.2f);
}

MeshData makeAsteroid(Detail detail) {
    constexpr float kRadius = 6.0f;
    constexpr float kHalfLength = 9.0f;
    std::vector<ProfilePoint> profile;
    const bool coarse = detail == Detail::coarse;
    const int capRings = coarse ? 7 : 18;
    const int bodyRings = coarse ? 10 : 30;
    for (int i = 0; i <= capRings; ++i) {
        const float a = 0.5f * kPi * static_cast<float>(i) / static_cast<float>(capRings);
        profile.push_back({-kHalfLength - kRadius * std::cos(a), kRadius * std::sin(a)});
    }
    for (int i = 1; i < bodyRings; ++i) {
        profile.push_back({-kHalfLength + 2.0f * kHalfLength * static_cast<float>(i) /
                                              static_cast<float>(bodyRings),
                           kRadius});
    }
    for (int i = 0; i <= capRings; ++i) {
        const float a = 0.5f * kPi * static_cast<float>(i) / static_cast<float>(capRings);
        profile.push_back({kHalfLength + kRadius * std::sin(a), kRadius * std::cos(a)});
    }
    Lathe capsule;
    capsule.axis = 0;
    capsule.segments = coarse ? 36 : 96;
    MeshBuilder mesh;
    addLathe(mesh, profile, capsule);
    // Push every point away from the capsule's axis segment by the relief, then let the
    // shading follow. (The segment, not the profile normal, keeps the poles closed.)
    for (std::size_t i = 0; i < mesh.vertexCount(); ++i) {
        kes::MeshVertex& v = mesh.vertex(i);
        const glm::vec3 axisPoint(std::clamp(v.position.x, -kHalfLength, kHalfLength), 0, 0);
        v.position += glm::normalize(v.position - axisPoint) * asteroidRelief(v.position);
        v.normal = glm::vec3(0.0f);
    }
    mesh.computeSmoothNormals();
    return mesh.finish();
}

MeshData makeTargetZone(Detail detail) {
    // A torus about the x axis: the minor circle is the profile, turned about x.
    constexpr float kMajor = 3.42f;
    constexpr float kMinor = 0.26f;
    const int minorSegments = detail == Detail::coarse ? 6 : 16;
    std::vector<ProfilePoint> profile;
    for (int i = 0; i <= minorSegments; ++i) {
        const float b = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(minorSegments);
        profile.push_back({kMinor * std::sin(b), kMajor + kMinor * std::cos(b)});
    }
    Lathe ring;
    ring.axis = 0;
    ring.segments = detail == Detail::coarse ? 48 : 96;
    MeshBuilder mesh;
    addLathe(mesh, profile, ring);
    return mesh.finish();
}

MeshData makeArrow() {
    const std::vector<ProfilePoint> profile{
        {0.0f, 0.0f}, {0.0f, 0.025f}, {0.78f, 0.025f}, {0.78f, 0.07f}, {1.0f, 0.0f}};
    Lathe arrow;
    arrow.segments = 16;
    arrow.smooth = false;
    MeshBuilder mesh;
    addLathe(mesh, profile, arrow);
    return mesh.finish();
}

}  // namespace assetgen
