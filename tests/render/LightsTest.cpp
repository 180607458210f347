// Light records and the matrices of their shadow maps.
#include "render/Lights.hpp"

#include <cmath>

#include <gtest/gtest.h>

namespace kes {
namespace {

LightDesc theSun() {
    LightDesc sun{};
    sun.type = kPointLight;
    sun.coefficients = {1.0f, 0.0f, 0.0f};
    sun.factor = 0.1f;
    sun.color = {1.0f, 0.976f, 0.921f};
    sun.position = {-132.0f, 48.0f, 167.0f};
    sun.spotDirection = {1.0f, 0.0f, 0.0f};  // ignored for a point light
    sun.spotCos0 = 0.9f;
    return sun;
}

glm::vec3 project(const glm::mat4& matrix, const glm::vec3& point) {
    const glm::vec4 clip = matrix * glm::vec4(point, 1.0f);
    return glm::vec3(clip) / clip.w;
}

TEST(LightsTest, APointLightRecordKeepsItsValuesAndDropsTheSpotFields) {
    const LightRecord record = makeLightRecord(theSun(), 3);
    EXPECT_EQ(record.type, 0u);
    EXPECT_EQ(record.position, glm::vec3(-132, 48, 167));
    EXPECT_EQ(record.factor, 0.1f);
    EXPECT_EQ(record.color, glm::vec3(1.0f, 0.976f, 0.921f));
    EXPECT_EQ(record.castsShadow, 1u);
    EXPECT_EQ(record.shadowMapIndex, 3u);
    EXPECT_EQ(record.spotDirection, glm::vec3(0.0f));
    EXPECT_EQ(record.spotCos0, 0.0f);
}

TEST(LightsTest, TheSunsShadowMapIsCentredOnTheCameraTarget) {
    Camera camera(90.0f, 4.0f / 3.0f, 0.1f, 1000.0f, {100, 20, -50}, 17.0f, {0.0f, -0.5f, 0.866f},
                  {0.0f, 0.866f, 0.5f});
    const auto matrix =
        computeLightMatrix(makeLightRecord(theSun(), 0), 1.0f, 1.25f, 1000.0f, camera);
    ASSERT_TRUE(matrix.has_value());
    const glm::vec3 target = project(*matrix, camera.target);
    EXPECT_NEAR(target.x, 0.0f, 1e-4f);
    EXPECT_NEAR(target.y, 0.0f, 1e-4f);
    EXPECT_GT(target.z, -1.0f);
    EXPECT_LT(target.z, 1.0f);

    // The near plane sits 1.25 units from the sun towards the target; the field is 90 degrees.
    const glm::vec3 sun(-132, 48, 167);
    const glm::vec3 towards = glm::normalize(camera.target - sun);
    EXPECT_NEAR(project(*matrix, sun + towards * 1.25f).z, -1.0f, 1e-4f);
    const float distance = glm::length(camera.target - sun);
    const glm::vec3 side = glm::normalize(glm::cross(-camera.direction, towards));
    const glm::vec3 edge = project(*matrix, camera.target + side * distance);
    EXPECT_NEAR(std::abs(edge.x) + std::abs(edge.y), 1.0f, 1e-3f);
}

TEST(LightsTest, ASpotLightLooksAlongItsDirectionWithItsConeAsField) {
    LightDesc spot = theSun();
    spot.type = kSpotLight;
    spot.position = {0, 10, 0};
    spot.spotDirection = {0, 0, 1};
    spot.spotCos1 = std::cos(1.0f);  // a cone of one radian: half-angle 0.5
    Camera camera(90.0f, 1.0f, 0.1f, 1000.0f, {0, 0, 0}, 1.0f, {0, 0, 1}, {0, 1, 0});
    const auto matrix = computeLightMatrix(makeLightRecord(spot, 0), 1.0f, 1.25f, 1000.0f, camera);
    ASSERT_TRUE(matrix.has_value());
    const glm::vec3 ahead = project(*matrix, {0, 10, 50});
    EXPECT_NEAR(ahead.x, 0.0f, 1e-5f);
    EXPECT_NEAR(ahead.y, 0.0f, 1e-5f);
    const glm::vec3 atEdge = project(*matrix, {0, 10 + 50 * std::tan(0.5f), 50});
    EXPECT_NEAR(atEdge.y, 1.0f, 1e-4f);
}

TEST(LightsTest, AnUnknownKindGivesNoMatrix) {
    LightDesc odd = theSun();
    odd.type = 7;
    Camera camera(90.0f, 1.0f, 0.1f, 1000.0f, {0, 0, 0}, 1.0f, {0, 0, 1}, {0, 1, 0});
    EXPECT_FALSE(computeLightMatrix(makeLightRecord(odd, 0), 1.0f, 1.25f, 1000.0f, camera));
}

}  // namespace
}  // namespace kes
