// The chase camera against its table of speeds.
#include "render/CameraFollow.hpp"

#include <cmath>

#include <gtest/gtest.h>

#include "render/Math.hpp"

namespace kes {
namespace {

class CameraFollowTest : public testing::Test {
protected:
    CameraFollowTest() {
        body = world.createRigidBody({{1, 2, 3}, glm::quat(1, 0, 0, 0)});
        node = std::make_unique<SceneNode>(nullptr, NodeModels{"ship", {nullptr}, {glm::mat4(1)}},
                                           body, 1.0f);
        follow.node = node.get();
        follow.body = body;
    }

    // Degrees the view looks down.
    float tiltDown() const { return -std::asin(camera.direction.y) / kDegreesToRadians; }

    PhysicsWorld world{"camera test"};
    RigidBody* body;
    std::unique_ptr<SceneNode> node;
    Camera camera{90.0f, 1.0f, 0.1f, 1000.0f, {0, 0, 0}, 1.0f, {0, 0, 1}, {0, 1, 0}};
    CamController_FollowSceneNode follow{&camera};
};

TEST_F(CameraFollowTest, FollowsTheTableOfSpeeds) {
    struct Row {
        float speed, tilt, distance, fov;
    };
    for (const Row& row :
         {Row{0, 30.5f, 17.0f, 80}, Row{5, 18.85f, 14.67f, 85}, Row{10, 16.25f, 14.15f, 90},
          Row{20, 15.54f, 14.0075f, 100}, Row{500, 15.54f, 14.0075f, 100}}) {
        body->setLinearVelocity({0, 0, row.speed});
        camera.dirty = false;
        follow.update(0.016f, 1.0f);
        EXPECT_TRUE(camera.dirty);
        EXPECT_NEAR(camera.fov, row.fov, 1e-3f) << row.speed;
        EXPECT_NEAR(camera.distance, row.distance, 0.01f) << row.speed;
        EXPECT_NEAR(tiltDown(), row.tilt, 0.05f) << row.speed;
        EXPECT_EQ(camera.target, glm::vec3(1, 2, 3));
    }
}

TEST_F(CameraFollowTest, LooksAlongTheNodeAndTreatsABodilessNodeAsResting) {
    node->render.orientation = glm::angleAxis(1.0f, glm::vec3(0, 1, 0));
    follow.update(0.016f, 1.0f);
    EXPECT_GT(camera.direction.x, 0.5f);  // turned with the ship
    EXPECT_NEAR(glm::dot(camera.direction, camera.up), 0.0f, 1e-5f);

    follow.body = nullptr;
    body->setLinearVelocity({0, 0, 50});
    follow.update(0.016f, 1.0f);
    EXPECT_EQ(camera.fov, 80.0f);

    follow.node = nullptr;
    camera.fov = 33.0f;
    follow.update(0.016f, 1.0f);
    EXPECT_EQ(camera.fov, 33.0f);
}

// With the horizon kept level, a rolled ship turns the view with its heading but not its roll:
// the camera's up stays in the plane of the world's up and the view.
TEST_F(CameraFollowTest, AKeptLevelHorizonIgnoresTheShipsRoll) {
    node->render.orientation = glm::angleAxis(0.6f, glm::vec3(0, 1, 0)) *
                               glm::angleAxis(1.2f, glm::vec3(0, 0, 1));  // yawed and rolled
    follow.update(0.016f, 1.0f);
    const glm::vec3 rolledUp = camera.up;
    follow.keepLevel = true;
    follow.update(0.016f, 1.0f);
    EXPECT_GT(camera.direction.x, 0.3f);  // still turned with the ship's heading
    const glm::vec3 side = glm::cross(glm::vec3(0, 1, 0), camera.direction);
    EXPECT_NEAR(glm::dot(camera.up, glm::normalize(side)), 0.0f, 1e-4f);
    EXPECT_GT(camera.up.y, 0.8f);
    EXPECT_LT(rolledUp.y, 0.5f);  // without it the view rolled with the ship
}

}  // namespace
}  // namespace kes
