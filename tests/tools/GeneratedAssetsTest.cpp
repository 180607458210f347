// What the asset generator makes, checked without a display: the meshes fit the colliders the
// game gives them, face outwards and carry sound surface frames; the skybox faces follow GL's
// cube-map convention, so neighbouring faces meet without a seam.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "Meshes.hpp"
#include "Skybox.hpp"

namespace assetgen {
namespace {

// Distance from p to the segment of length `length` along `axis` through the origin.
float distanceToSegment(const glm::vec3& p, int axis, float length) {
    glm::vec3 nearest(0.0f);
    nearest[axis] = std::clamp(p[axis], -length / 2, length / 2);
    return glm::length(p - nearest);
}

bool insideBox(const glm::vec3& p, const glm::vec3& centre, const glm::vec3& halfExtents) {
    const glm::vec3 d = glm::abs(p - centre);
    return d.x <= halfExtents.x && d.y <= halfExtents.y && d.z <= halfExtents.z;
}

// Six times the signed volume, with the triangles in stored order. Clockwise from outside, as
// the renderer expects, makes it negative.
float storedVolume(const MeshData& mesh) {
    float volume = 0.0f;
    for (std::size_t i = 0; i < mesh.indices.size(); i += 3) {
        const glm::vec3& a = mesh.vertices[mesh.indices[i]].position;
        const glm::vec3& b = mesh.vertices[mesh.indices[i + 1]].position;
        const glm::vec3& c = mesh.vertices[mesh.indices[i + 2]].position;
        volume += glm::dot(a, glm::cross(b, c));
    }
    return volume;
}

void expectSoundFrames(const MeshData& mesh, const char* name) {
    std::size_t agreeing = 0;
    for (const kes::MeshVertex& v : mesh.vertices) {
        EXPECT_NEAR(glm::length(v.normal), 1.0f, 1e-3f) << name;
        EXPECT_NEAR(glm::length(v.tangent), 1.0f, 1e-3f) << name;
        EXPECT_NEAR(std::abs(glm::dot(v.normal, v.tangent)), 0.0f, 1e-3f) << name;
        EXPECT_NEAR(std::abs(glm::dot(glm::cross(v.normal, v.tangent), v.bitangent)), 1.0f, 1e-3f)
            << name;
        agreeing += v.uv.x >= 0.0f && v.uv.x <= 1.0f && v.uv.y >= 0.0f && v.uv.y <= 1.0f;
    }
    EXPECT_EQ(agreeing, mesh.vertices.size()) << name << ": texture coordinates outside 0 ... 1";
}

// The stored (clockwise) face normal points the same way as the vertex normals.
void expectNormalsFollowFaces(const MeshData& mesh, const char* name) {
    std::size_t facesAgreeing = 0;
    const std::size_t faces = mesh.indices.size() / 3;
    for (std::size_t i = 0; i < mesh.indices.size(); i += 3) {
        const kes::MeshVertex& a = mesh.vertices[mesh.indices[i]];
        const kes::MeshVertex& b = mesh.vertices[mesh.indices[i + 1]];
        const kes::MeshVertex& c = mesh.vertices[mesh.indices[i + 2]];
        const glm::vec3 face = glm::cross(c.position - a.position, b.position - a.position);
        facesAgreeing += glm::dot(face, a.normal + b.normal + c.normal) >= 0.0f;
    }
    EXPECT_GE(facesAgreeing * 100, faces * 99) << name;
}

TEST(GeneratedMeshes, TheShipFitsItsCapsuleAndWingBoxes) {
    const MeshData ship = makeShip();
    constexpr float kTolerance = 1e-3f;
    for (const kes::MeshVertex& v : ship.vertices) {
        const glm::vec3& p = v.position;
        const bool inHull = distanceToSegment(p, 2, 6.0f) <= 2.5f + kTolerance;
        const bool inWing = insideBox(p, {5, 0, 0}, glm::vec3(2.5f, 2, 2) + kTolerance) ||
                            insideBox(p, {-5, 0, 0}, glm::vec3(2.5f, 2, 2) + kTolerance);
        EXPECT_TRUE(inHull || inWing) << p.x << ", " << p.y << ", " << p.z;
    }
    const auto [nose, tail] = std::minmax_element(
        ship.vertices.begin(), ship.vertices.end(),
        [](const auto& a, const auto& b) { return a.position.z > b.position.z; });
    EXPECT_GT(nose->position.z, 5.0f);  // the nose leads along +z
    EXPECT_LT(tail->position.z, -4.5f);
    const float span =
        std::max_element(ship.vertices.begin(), ship.vertices.end(),
                         [](const auto& a, const auto& b) { return a.position.x < b.position.x; })
            ->position.x;
    EXPECT_GT(span, 7.0f);  // the wings reach into their boxes
    expectSoundFrames(ship, "ship");
    expectNormalsFollowFaces(ship, "ship");
}

TEST(GeneratedMeshes, TheAsteroidIsARoughRockAroundItsCapsule) {
    const MeshData rock = makeAsteroid();
    float nearest = 100.0f, farthest = 0.0f;
    for (const kes::MeshVertex& v : rock.vertices) {
        const float d = distanceToSegment(v.position, 0, 18.0f);
        nearest = std::min(nearest, d);
        farthest = std::max(farthest, d);
    }
    EXPECT_GE(nearest, 6.0f - 1.8f);
    EXPECT_LE(farthest, 6.0f + 1.3f);
    EXPECT_GT(farthest - nearest, 1.0f);  // rough, not a smooth capsule
    EXPECT_LT(storedVolume(rock), 0.0f);
    expectSoundFrames(rock, "asteroid");
    expectNormalsFollowFaces(rock, "asteroid");
}

TEST(GeneratedMeshes, TheTargetZoneRingMatchesTheZoneSphereAtItsScale) {
    const MeshData ring = makeTargetZone();
    float outer = 0.0f, alongX = 0.0f;
    for (const kes::MeshVertex& v : ring.vertices) {
        outer = std::max(outer, std::hypot(v.position.y, v.position.z));
        alongX = std::max(alongX, std::abs(v.position.x));
    }
    EXPECT_NEAR(outer * 13.5f, 50.0f, 1.0f);
    EXPECT_LT(alongX, 0.5f);  // a thin gate the ship flies through along x
    expectSoundFrames(ring, "target zone");
    expectNormalsFollowFaces(ring, "target zone");
}

TEST(GeneratedMeshes, TheArrowPointsAlongZWithUnitLength) {
    const MeshData arrow = makeArrow();
    float front = 0.0f, back = 1.0f, width = 0.0f;
    for (const kes::MeshVertex& v : arrow.vertices) {
        front = std::max(front, v.position.z);
        back = std::min(back, v.position.z);
        width = std::max(width, std::hypot(v.position.x, v.position.y));
    }
    EXPECT_FLOAT_EQ(front, 1.0f);
    EXPECT_FLOAT_EQ(back, 0.0f);
    EXPECT_LT(width, 0.1f);
    EXPECT_LT(storedVolume(arrow), 0.0f);
    expectNormalsFollowFaces(arrow, "arrow");
}

// GL picks the face by the largest component of the direction and then the face's (s, t) by
// its own table; the generator's texel directions must land where they were painted.
TEST(GeneratedSkybox, EveryTexelDirectionMapsBackToItsOwnFaceAndPlace) {
    for (int face = 0; face < 6; ++face) {
        for (const glm::vec2 uv : {glm::vec2(0.1f, 0.2f), glm::vec2(0.9f, 0.3f),
                                   glm::vec2(0.5f, 0.95f), glm::vec2(0.02f, 0.6f)}) {
            const glm::vec3 d = cubeFaceDirection(face, uv);
            const glm::vec3 a = glm::abs(d);
            int glFace;
            float sc, tc, ma;
            if (a.x >= a.y && a.x >= a.z) {
                glFace = d.x > 0 ? 0 : 1;
                sc = d.x > 0 ? -d.z : d.z;
                tc = -d.y;
                ma = a.x;
            } else if (a.y >= a.z) {
                glFace = d.y > 0 ? 2 : 3;
                sc = d.x;
                tc = d.y > 0 ? d.z : -d.z;
                ma = a.y;
            } else {
                glFace = d.z > 0 ? 4 : 5;
                sc = d.z > 0 ? d.x : -d.x;
                tc = -d.y;
                ma = a.z;
            }
            EXPECT_EQ(glFace, face);
            EXPECT_NEAR((sc / ma + 1.0f) / 2.0f, uv.x, 1e-5f) << "face " << face;
            EXPECT_NEAR((tc / ma + 1.0f) / 2.0f, uv.y, 1e-5f) << "face " << face;
        }
    }
}

TEST(GeneratedSkybox, IsDarkSpaceWithStarsAndNoBlownOutPatches) {
    int starPixels = 0;
    float brightest = 0.0f, total = 0.0f;
    constexpr float samples = 400;
    for (float i = 0; i < samples; ++i) {
        for (float j = 0; j < samples; ++j) {
            const glm::vec3 c = skyColour(
                cubeFaceDirection(4, glm::vec2((i + 0.5f) / samples, (j + 0.5f) / samples)));
            const float luminance = 0.2126f * c.r + 0.7152f * c.g + 0.0722f * c.b;
            starPixels += luminance > 0.3f ? 1 : 0;
            brightest = std::max(brightest, luminance);
            total += luminance;
        }
    }
    EXPECT_LT(total / (samples * samples), 0.08f);  // mostly dark
    EXPECT_GT(starPixels, 5);
    EXPECT_LT(starPixels, static_cast<int>(samples * samples / 50));
    EXPECT_GT(brightest, 0.8f);
}

}  // namespace
}  // namespace assetgen
