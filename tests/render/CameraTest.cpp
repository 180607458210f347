#include "render/Camera.hpp"

#include <cmath>

#include <gtest/gtest.h>

#include "render/Math.hpp"

namespace kes {
namespace {

TEST(LookAt, WorldPlusXMapsToViewMinusXWhenLookingDownPlusZ) {
    const glm::mat4 view = lookAt({0, 0, 1}, {0, 1, 0}, {0, 0, 0});
    // Row 0 of the rotation is ŝ = (-1, 0, 0).
    EXPECT_EQ(view[0][0], -1.0f);
    EXPECT_EQ(view[1][0], 0.0f);
    EXPECT_EQ(view[2][0], 0.0f);
    const glm::vec4 x = view * glm::vec4(1, 0, 0, 1);
    EXPECT_EQ(x.x, -1.0f);
    // Points ahead of the eye have positive view z.
    EXPECT_GT((view * glm::vec4(0, 0, 5, 1)).z, 0.0f);
}

TEST(LookAt, MovesTheEyeToTheOriginAndKeepsUpUnorthogonalised) {
    const glm::vec3 eye(3, 4, 5);
    const glm::mat4 view = lookAt({0, 0, 2}, {0, 1, 1}, eye);
    const glm::vec4 origin = view * glm::vec4(eye, 1.0f);
    EXPECT_NEAR(glm::length(glm::vec3(origin)), 0.0f, 1e-5f);
    // Row 1 is the normalised up vector as given, tilted towards the view direction.
    EXPECT_NEAR(view[1][1], std::sqrt(0.5f), 1e-6f);
    EXPECT_NEAR(view[2][1], std::sqrt(0.5f), 1e-6f);
}

TEST(Perspective, MatchesTheNinetyDegreeReference) {
    const glm::mat4 p = perspective(90, 1, 0.1f, 1000);
    EXPECT_NEAR(p[0][0], 1.0f, 1e-6f);
    EXPECT_NEAR(p[1][1], 1.0f, 1e-6f);
    EXPECT_FLOAT_EQ(p[2][2], 1000.1f / 999.9f);
    EXPECT_EQ(p[2][3], 1.0f);
    EXPECT_FLOAT_EQ(p[3][2], -200.0f / 999.9f);
    EXPECT_EQ(p[3][3], 0.0f);
    // The near plane lands on depth -1 and the far plane on +1.
    const glm::vec4 nearPoint = p * glm::vec4(0, 0, 0.1f, 1);
    const glm::vec4 farPoint = p * glm::vec4(0, 0, 1000, 1);
    EXPECT_NEAR(nearPoint.z / nearPoint.w, -1.0f, 1e-5f);
    EXPECT_NEAR(farPoint.z / farPoint.w, 1.0f, 1e-5f);
}

TEST(Camera, StartsWithItsMatricesAndRecomputesOnlyWhenDirty) {
    Camera camera(90, 640.0f / 480.0f, 0.1f, 1000, {0, 0, 0}, 1, {0, 0, 2}, {0, 3, 0});
    EXPECT_EQ(camera.direction, glm::vec3(0, 0, 1));
    EXPECT_EQ(camera.up, glm::vec3(0, 1, 0));
    EXPECT_EQ(camera.eye, glm::vec3(0, 0, -1));
    EXPECT_FALSE(camera.dirty);
    EXPECT_EQ(camera.viewProj, camera.proj * camera.view);

    camera.target = {10, 0, 0};
    EXPECT_FALSE(camera.update());  // not marked dirty: nothing recomputed
    EXPECT_EQ(camera.eye, glm::vec3(0, 0, -1));

    camera.dirty = true;
    EXPECT_TRUE(camera.update());
    EXPECT_FALSE(camera.dirty);
    EXPECT_EQ(camera.eye, glm::vec3(10, 0, -1));
    EXPECT_FALSE(camera.update());
}

TEST(Camera, YawTurnsTheViewWithoutTouchingTheStoredDirection) {
    Camera camera(60, 1, 0.1f, 100, {0, 0, 0}, 2, {0, 0, 1}, {0, 1, 0});
    camera.yaw = 90;
    camera.dirty = true;
    camera.update();
    // Yawing +z by 90 degrees about y looks along +x, so the eye sits at -2 x.
    EXPECT_NEAR(camera.eye.x, -2.0f, 1e-5f);
    EXPECT_NEAR(camera.eye.z, 0.0f, 1e-5f);
    EXPECT_EQ(camera.direction, glm::vec3(0, 0, 1));
}

}  // namespace
}  // namespace kes
