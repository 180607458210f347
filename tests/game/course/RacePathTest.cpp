#include "game/course/RacePath.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "game/level/LevelLayout.hpp"

namespace kes {
namespace {

// The race course, measured and sampled as the game does it; its console lines are swallowed.
RacePath racePath() {
    RacePath path;
    for (const glm::vec3& point : raceControlPoints()) {
        path.addControlPoint(point);
    }
    testing::internal::CaptureStdout();
    path.calculateLength();
    path.calculateMidPoints(path.midPointSpacing);
    testing::internal::GetCapturedStdout();
    return path;
}

TEST(RacePath, ThePlanarLengthGivesTheLevelItsFourHundredAndSixtyMidPoints) {
    RacePath path;
    for (const glm::vec3& point : raceControlPoints()) {
        path.addControlPoint(point);
    }
    EXPECT_EQ(path.controlPoints()[3].segmentLength, -1.0f);
    testing::internal::CaptureStdout();
    path.calculateLength();
    path.calculateMidPoints(10.0f);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_NEAR(path.totalLength, 4592.6f, 0.5f);
    EXPECT_EQ(console.rfind("Calculated the total length of the path to be 4592", 0), 0u)
        << console;
    EXPECT_NE(console.find("Calculated 460 approximated mid points in "), std::string::npos);

    const auto& mids = path.midPoints();
    ASSERT_EQ(mids.size(), 460u);
    EXPECT_EQ(mids[0].distance, 0.0f);
    EXPECT_EQ(mids[1].distance, 10.0f);
    EXPECT_EQ(mids[459].index, 459u);
    EXPECT_LT(mids.back().distance, path.totalLength);
    const PathControlPoint& last = path.controlPoints()[11];
    EXPECT_EQ(last.index, 11);
    EXPECT_NEAR(last.lengthBefore + last.segmentLength, path.totalLength, 0.01f);
}

TEST(RacePath, PointsPassThroughTheControlPointsAndWrapAroundTheEnd) {
    const RacePath path = racePath();
    EXPECT_EQ(path.getPoint(0.0f), glm::vec3(-400, 0, 0));
    EXPECT_EQ(path.getPoint(1.0f), glm::vec3(0, 400, 100));
    // Halfway along the closing segment: weights -1/16, 9/16, 9/16, -1/16 on points 10, 11, 0, 1.
    const glm::vec3 expected = (-1.0f * glm::vec3(250, 0, 500) + 9.0f * glm::vec3(-100, -50, 0) +
                                9.0f * glm::vec3(-400, 0, 0) - 1.0f * glm::vec3(0, 400, 100)) /
                               16.0f;
    const glm::vec3 halfway = path.getPoint(11.5f);
    EXPECT_NEAR(halfway.x, expected.x, 1e-3f);
    EXPECT_NEAR(halfway.y, expected.y, 1e-3f);
    EXPECT_NEAR(halfway.z, expected.z, 1e-3f);
    // The gradient is the derivative of the point.
    const glm::vec3 numeric = (path.getPoint(4.501f) - path.getPoint(4.499f)) / 0.002f;
    EXPECT_NEAR(glm::length(numeric - path.getGradient(4.5f)), 0.0f, 0.5f);
}

TEST(RacePath, HeightAloneAddsNoLength) {
    RacePath path;
    for (const float z : {0.0f, 100.0f, 300.0f}) {
        path.addControlPoint({5, 5, z});
    }
    testing::internal::CaptureStdout();
    path.calculateLength();
    testing::internal::GetCapturedStdout();
    EXPECT_NEAR(path.totalLength, 0.0f, 0.01f);  // only the weights' rounding
}

TEST(RacePath, TheClosestMidPointIsMeasuredInThreeDimensions) {
    const RacePath path = racePath();
    const PathMidPoint& mid = path.midPoints()[123];
    EXPECT_EQ(path.distanceToClosestMidPoint(mid.position), 0.0f);
    EXPECT_NEAR(path.distanceToClosestMidPoint(mid.position + glm::vec3(0, 0, 3)), 3.0f, 1e-3f);

    testing::internal::CaptureStderr();
    const float lost = path.distanceToClosestMidPoint({NAN, 0, 0});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "FOUND NO CLOSEST POINT?! (returning startpoint)\n");
    EXPECT_TRUE(std::isnan(lost));
}

TEST(RacePath, TheTubeHasFortyVerticesARingAndOneClosedStrip) {
    const RacePath path = racePath();
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> centres;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    path.generateMesh(level::kTubeRadius, vertices, indices, centres);
    const std::string errors = testing::internal::GetCapturedStderr();
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(errors, "");
    EXPECT_NE(console.find("Calculated 18400 vertices in "), std::string::npos);
    EXPECT_NE(console.find("Calculated 36880 indices in "), std::string::npos);
    ASSERT_EQ(vertices.size(), 18'400u);
    ASSERT_EQ(indices.size(), 36'880u);
    ASSERT_EQ(centres.size(), vertices.size());
    for (std::size_t v = 0; v < vertices.size(); v += 97) {
        EXPECT_NEAR(glm::distance(vertices[v], centres[v].position), 25.0f, 1e-2f);
        // The ring stands square to the path.
        EXPECT_NEAR(glm::dot(glm::normalize(vertices[v] - centres[v].position),
                             glm::normalize(centres[v].gradient)),
                    0.0f, 1e-3f);
    }
    // Column 0 runs up from ring 0, then turns at the last ring back into ring 0.
    EXPECT_EQ(indices[0], 0);
    EXPECT_EQ(indices[1], 1);
    EXPECT_EQ(indices[2], 40);
    EXPECT_EQ(indices[920], 0);
    EXPECT_EQ(indices[921], 1);
    EXPECT_EQ(indices[922], 1);  // column 1 starts at ring 0 and runs down from the last ring
    EXPECT_EQ(indices[924], 459 * 40 + 1);

    // Building into full lists says so and gives the same mesh.
    std::vector<glm::vec3> again = vertices;
    std::vector<std::uint16_t> againIndices = indices;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    path.generateMesh(level::kTubeRadius, again, againIndices, centres);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Have to clear outVertices from 18400 and outIndices from 36880 entries!");
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(again, vertices);
    EXPECT_EQ(againIndices, indices);
}

// The tube's vertex stage clips away what lies beyond its fade with a margin that assumes no
// triangle joins rings farther apart than RING_SPACING (assets/shaders/include/tubeFade.glsl);
// a course sampled more sparsely would lose visible parts of its tube.
float shaderRingSpacing() {
    std::ifstream file(std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets" / "shaders" /
                       "include" / "tubeFade.glsl");
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    const std::string name = "const float RING_SPACING = ";
    const std::size_t at = text.find(name);
    return at == std::string::npos ? 0.0f : std::stof(text.substr(at + name.size()));
}

TEST(RacePath, NoTriangleOfTheTubeJoinsRingsFartherApartThanItsClippingAssumes) {
    const float ringSpacing = shaderRingSpacing();
    ASSERT_GT(ringSpacing, 0.0f) << "RING_SPACING not found in tubeFade.glsl";
    const RacePath path = racePath();
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> centres;
    testing::internal::CaptureStdout();
    path.generateMesh(level::kTubeRadius, vertices, indices, centres);
    testing::internal::GetCapturedStdout();
    float widest = 0.0f;
    for (std::size_t i = 0; i + 2 < indices.size(); ++i) {
        const glm::vec3& a = centres[indices[i]].position;
        const glm::vec3& b = centres[indices[i + 1]].position;
        const glm::vec3& c = centres[indices[i + 2]].position;
        widest = std::max({widest, glm::distance(a, b), glm::distance(b, c), glm::distance(a, c)});
    }
    EXPECT_GT(widest, 5.0f);  // the triangles do span neighbouring rings
    EXPECT_LE(widest, ringSpacing);
}

}  // namespace
}  // namespace kes
