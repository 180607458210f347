// Leaving out what the camera cannot see: a sphere is excluded only when it lies wholly outside
// one of the view's planes, whichever way the camera looks and whatever scale places it.
#include "render/ViewFrustum.hpp"

#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

namespace kes {
namespace {

// A 90-degree camera at `eye` looking along `forward`, from 1 to 1000 units.
glm::mat4 camera(const glm::vec3& eye, const glm::vec3& forward) {
    const glm::mat4 proj = glm::perspective(glm::radians(90.0f), 1.0f, 1.0f, 1000.0f);
    return proj * glm::lookAt(eye, eye + forward, glm::vec3(0.0f, 1.0f, 0.0f));
}

TEST(ViewFrustumTest, ExcludesOnlySpheresWhollyOutsideAPlane) {
    const glm::vec3 eye(100.0f, 0.0f, 0.0f);
    const ViewFrustum view(camera(eye, {0.0f, 0.0f, -1.0f}));
    // Ahead, inside.
    EXPECT_FALSE(view.excludes(eye + glm::vec3(0, 0, -50), 1.0f));
    // Behind the camera, beyond the far plane, and off to each side of the 90-degree view.
    EXPECT_TRUE(view.excludes(eye + glm::vec3(0, 0, 50), 10.0f));
    EXPECT_TRUE(view.excludes(eye + glm::vec3(0, 0, -1100), 50.0f));
    EXPECT_TRUE(view.excludes(eye + glm::vec3(-80, 0, -50), 10.0f));
    EXPECT_TRUE(view.excludes(eye + glm::vec3(0, 80, -50), 10.0f));
    // The same spheres grown until they reach into the view are kept: the side plane runs at
    // 45 degrees, so a centre 30 units beyond it (80 - 50) is 21.2 units from it.
    EXPECT_FALSE(view.excludes(eye + glm::vec3(-80, 0, -50), 21.5f));
    EXPECT_TRUE(view.excludes(eye + glm::vec3(-80, 0, -50), 21.0f));
    EXPECT_FALSE(view.excludes(eye + glm::vec3(0, 0, 50), 60.0f));  // reaches past the near plane
    // A camera turned the other way sees what the first had behind it.
    const ViewFrustum back(camera(eye, {0.0f, 0.0f, 1.0f}));
    EXPECT_FALSE(back.excludes(eye + glm::vec3(0, 0, 50), 10.0f));
    EXPECT_TRUE(back.excludes(eye + glm::vec3(0, 0, -50), 1.0f));
}

TEST(ViewFrustumTest, APlacedSphereMovesAndGrowsWithItsMatrix) {
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(1.0f, 2.0f, 3.0f));
    model = glm::rotate(model, 0.7f, glm::vec3(0.0f, 1.0f, 0.0f));
    model = glm::scale(model, glm::vec3(2.0f, 5.0f, 3.0f));
    const BoundingSphere sphere = placedSphere(model, 10.0f);
    EXPECT_EQ(sphere.centre, glm::vec3(1.0f, 2.0f, 3.0f));
    EXPECT_NEAR(sphere.radius, 50.0f, 1e-4f);
}

}  // namespace
}  // namespace kes
