#include "Shapes.hpp"

#include <cmath>

namespace assetgen {
namespace {

// The point at `angle` on a circle of `radius` about the lathe's axis, and its radial unit
// direction, before the cross-section squash.
glm::vec3 aroundAxis(int axis, float axial, float radius, float angle) {
    const float c = std::cos(angle) * radius;
    const float s = std::sin(angle) * radius;
    return axis == 0 ? glm::vec3(axial, c, s) : glm::vec3(c, s, axial);
}

glm::vec3 squash(const Lathe& lathe, glm::vec3 p) {
    if (lathe.axis == 0) {
        p.y *= lathe.crossScale.x;
        p.z *= lathe.crossScale.y;
    } else {
        p.x *= lathe.crossScale.x;
        p.y *= lathe.crossScale.y;
    }
    return p;
}

// Normals transform with the inverse of the squash.
glm::vec3 squashNormal(const Lathe& lathe, glm::vec3 n) {
    if (lathe.axis == 0) {
        n.y /= lathe.crossScale.x;
        n.z /= lathe.crossScale.y;
    } else {
        n.x /= lathe.crossScale.x;
        n.y /= lathe.crossScale.y;
    }
    return glm::normalize(n);
}

// The profile's outward normal in (axial, radius) terms for the segment from a to b.
glm::vec2 segmentNormal(const ProfilePoint& a, const ProfilePoint& b) {
    const glm::vec2 along(b.axial - a.axial, b.radius - a.radius);
    const glm::vec2 n(-along.y, along.x);
    return glm::length(n) > 0.0f ? glm::normalize(n) : glm::vec2(0.0f, 1.0f);
}

void addRing(MeshBuilder& mesh, const Lathe& lathe, const ProfilePoint& point,
             const glm::vec2& profileNormal, float v) {
    for (int j = 0; j <= lathe.segments; ++j) {
        const float t = static_cast<float>(j) / static_cast<float>(lathe.segments);
        const float angle = lathe.startAngle + lathe.sweep * t;
        const glm::vec3 position =
            squash(lathe, aroundAxis(lathe.axis, point.axial, point.radius, angle));
        const glm::vec3 normal =
            squashNormal(lathe, aroundAxis(lathe.axis, profileNormal.x, profileNormal.y, angle));
        const glm::vec2 uv(glm::mix(lathe.uvMin.x, lathe.uvMax.x, t), v);
        mesh.addVertex(lathe.origin + position, normal, uv);
    }
}

void connectRings(MeshBuilder& mesh, std::size_t first, int segments) {
    const auto stride = static_cast<std::size_t>(segments + 1);
    for (std::size_t j = 0; j < static_cast<std::size_t>(segments); ++j) {
        const auto a = static_cast<std::uint16_t>(first + j);
        const auto b = static_cast<std::uint16_t>(first + j + 1);
        mesh.addQuad(a, b, static_cast<std::uint16_t>(b + stride),
                     static_cast<std::uint16_t>(a + stride));
    }
}

std::vector<float> profileLengths(const std::vector<ProfilePoint>& profile) {
    std::vector<float> lengths{0.0f};
    for (std::size_t i = 1; i < profile.size(); ++i) {
        lengths.push_back(lengths.back() + std::hypot(profile[i].axial - profile[i - 1].axial,
                                                      profile[i].radius - profile[i - 1].radius));
    }
    return lengths;
}

}  // namespace

void addLathe(MeshBuilder& mesh, const std::vector<ProfilePoint>& profile, const Lathe& lathe) {
    const std::vector<float> lengths = profileLengths(profile);
    const auto vAt = [&](std::size_t i) {
        return glm::mix(lathe.uvMin.y, lathe.uvMax.y, lengths[i] / lengths.back());
    };
    const std::size_t last = profile.size() - 1;
    if (lathe.smooth) {
        const std::size_t first = mesh.vertexCount();
        for (std::size_t i = 0; i <= last; ++i) {
            const glm::vec2 before =
                segmentNormal(profile[i == 0 ? 0 : i - 1], profile[i == 0 ? 1 : i]);
            const glm::vec2 after =
                segmentNormal(profile[i == last ? last - 1 : i], profile[i == last ? last : i + 1]);
            addRing(mesh, lathe, profile[i], glm::normalize(before + after), vAt(i));
        }
        for (std::size_t i = 0; i < last; ++i) {
            connectRings(mesh, first + i * static_cast<std::size_t>(lathe.segments + 1),
                         lathe.segments);
        }
        return;
    }
    for (std::size_t i = 0; i < last; ++i) {
        const std::size_t first = mesh.vertexCount();
        const glm::vec2 normal = segmentNormal(profile[i], profile[i + 1]);
        addRing(mesh, lathe, profile[i], normal, vAt(i));
        addRing(mesh, lathe, profile[i + 1], normal, vAt(i + 1));
        connectRings(mesh, first, lathe.segments);
    }
}

void addBlock(MeshBuilder& mesh, const std::array<glm::vec3, 8>& c, bool mirrored,
              const std::function<glm::vec2(const glm::vec3&, const glm::vec3&)>& uvOf) {
    // Each face counter-clockwise seen from outside, for an unmirrored block.
    static constexpr int kFaces[6][4] = {{2, 6, 7, 3}, {0, 1, 5, 4}, {1, 3, 7, 5},
                                         {0, 4, 6, 2}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    for (const auto& face : kFaces) {
        std::array<glm::vec3, 4> p{c[face[0]], c[face[1]], c[face[2]], c[face[3]]};
        if (mirrored) {
            std::swap(p[1], p[3]);
        }
        const glm::vec3 normal = glm::normalize(glm::cross(p[2] - p[0], p[3] - p[1]));
        std::array<std::uint16_t, 4> index{};
        for (std::size_t k = 0; k < 4; ++k) {
            index[k] = mesh.addVertex(p[k], normal, uvOf(p[k], normal));
        }
        mesh.addQuad(index[0], index[1], index[2], index[3]);
    }
}

}  // namespace assetgen
