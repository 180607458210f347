// The ship controller driven by key, button, stick and trigger events, stepped without a
// window: levels, turns, speeds and respawns.
#include "control/ShipController.hpp"

#include <cmath>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "physics/Transform.hpp"

namespace kes {
namespace {

using Ship = HidListener_SceneNodeController;

class ShipControllerTest : public testing::Test {
protected:
    ShipControllerTest() {
        body = world.createRigidBody({{0, 0, 0}, glm::quat(1, 0, 0, 0)});
        ship.body = body;
    }

    void press(int key) { ship.onKey(key, 0, GLFW_PRESS, 0); }
    void release(int key) { ship.onKey(key, 0, GLFW_RELEASE, 0); }
    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            ship.fixedUpdate();
        }
    }
    glm::vec3 nose() const { return ship.orientation * glm::vec3(0, 0, 1); }

    PhysicsWorld world{"ship controller test"};
    RigidBody* body = nullptr;
    Ship ship;
};

TEST_F(ShipControllerTest, HoldingWRampsPitchToItsCapAndReleasingBringsItBack) {
    press(GLFW_KEY_W);
    steps(60);
    EXPECT_NEAR(ship.levels[Ship::pitchDown], 50.0f, 1e-3f);
    steps(48);
    EXPECT_EQ(ship.levels[Ship::pitchDown], 90.0f);
    steps(10);
    EXPECT_EQ(ship.levels[Ship::pitchDown], 90.0f);
    EXPECT_LT(nose().y, -0.5f);  // W dips the nose

    release(GLFW_KEY_W);
    steps(107);
    EXPECT_GT(ship.levels[Ship::pitchDown], 0.0f);
    steps(1);
    EXPECT_EQ(ship.levels[Ship::pitchDown], 0.0f);
}

TEST_F(ShipControllerTest, SpaceReachesTheSpeedCapAndTheSpeedFactorMultipliesIt) {
    press(GLFW_KEY_SPACE);
    ship.speedFactor = 3.5f;
    steps(180);
    EXPECT_NEAR(ship.levels[Ship::accelerate], 30.0f, 1e-4f);
    const glm::vec3 velocity = body->getLinearVelocity();
    EXPECT_NEAR(velocity.z, 105.0f, 1e-2f);
    EXPECT_GT(ship.position.z, 0.0f);

    ship.speedFactor = 0.2f;  // below 1 counts as 1
    steps(1);
    EXPECT_NEAR(body->getLinearVelocity().z, 30.0f, 1e-2f);
}

TEST_F(ShipControllerTest, BrakingFromRestFliesBackwards) {
    press(GLFW_KEY_LEFT_CONTROL);
    ship.speedFactor = 2.0f;
    steps(180);
    EXPECT_NEAR(ship.levels[Ship::brake], 15.0f, 1e-4f);
    EXPECT_NEAR(body->getLinearVelocity().z, -30.0f, 1e-2f);
    EXPECT_LT(ship.position.z, 0.0f);
}

TEST_F(ShipControllerTest, WAndSTogetherCancelOut) {
    press(GLFW_KEY_W);
    press(GLFW_KEY_S);
    steps(60);
    EXPECT_GT(ship.levels[Ship::pitchDown], 40.0f);
    EXPECT_EQ(ship.levels[Ship::pitchDown], ship.levels[Ship::pitchUp]);
    EXPECT_NEAR(nose().z, 1.0f, 1e-6f);
}

TEST_F(ShipControllerTest, ATurnsLeftAndRollsIntoTheTurnAndTheRollStays) {
    press(GLFW_KEY_A);
    steps(60);
    EXPECT_GT(nose().x, 0.2f);  // A turns the nose towards +x
    const glm::vec3 wing = ship.orientation * glm::vec3(1, 0, 0);
    EXPECT_LT(wing.y, -0.05f);  // and banks into the turn
    release(GLFW_KEY_A);
    steps(60);
    EXPECT_EQ(ship.levels[Ship::yawLeft], 0.0f);
    const glm::quat settled = ship.orientation;
    steps(10);
    EXPECT_NEAR(glm::dot(settled, ship.orientation), 1.0f, 1e-6f);  // no more turning
    EXPECT_LT((ship.orientation * glm::vec3(1, 0, 0)).y, -0.05f);   // the roll remains
}

TEST_F(ShipControllerTest, AKeyHeldAcrossARespawnCountsOnlyWhenPressedAgain) {
    press(GLFW_KEY_SPACE);
    steps(30);
    ship.respawn({10, 20, 30});
    EXPECT_EQ(ship.levels[Ship::accelerate], 0.0f);
    EXPECT_EQ(ship.held, 0);
    steps(30);
    EXPECT_EQ(ship.levels[Ship::accelerate], 0.0f);
    EXPECT_EQ(body->getTransform().position, glm::vec3(10, 20, 30));
    press(GLFW_KEY_SPACE);
    steps(1);
    EXPECT_GT(ship.levels[Ship::accelerate], 0.0f);
}

TEST_F(ShipControllerTest, TheStickHasADeadZoneAndItsMagnitudeIsTheStrength) {
    ship.onLeftStick(-0.1f, 0.0f, 0.1f);
    EXPECT_FALSE(ship.isHeld(Ship::yawLeft));
    ship.onLeftStick(-0.5f, 0.0f, 0.5f);
    EXPECT_TRUE(ship.isHeld(Ship::yawLeft));
    steps(60);
    EXPECT_NEAR(ship.levels[Ship::yawLeft], 25.0f, 1e-3f);
}

// A gamepad player stops turning by letting go of the stick: the level dies away exactly as it
// does after the key is released.
TEST_F(ShipControllerTest, ReleasingTheStickLetsTheTurnDieAwayLikeAReleasedKey) {
    const auto turnThenLetGo = [this](auto push, auto letGo) {
        ship.respawn(glm::vec3(0.0f));
        push();
        steps(60);
        letGo();
        std::vector<float> levels;
        for (int i = 0; i < 120; ++i) {
            steps(1);
            levels.push_back(ship.levels[Ship::yawLeft]);
        }
        return levels;
    };
    const std::vector<float> byStick =
        turnThenLetGo([this] { ship.onLeftStick(-1.0f, 0.0f, 1.0f); },
                      [this] { ship.onLeftStick(0.0f, 0.0f, 0.0f); });
    const std::vector<float> byKey =
        turnThenLetGo([this] { press(GLFW_KEY_A); }, [this] { release(GLFW_KEY_A); });
    EXPECT_GT(byStick.front(), 40.0f);
    EXPECT_EQ(byStick.back(), 0.0f);
    EXPECT_EQ(byStick, byKey);
}

TEST_F(ShipControllerTest, TheAButtonCountsOnlyWhenItChangesAlone) {
    ship.onGamepadButtons(0x1000 | 0x0001, true);
    EXPECT_FALSE(ship.isHeld(Ship::accelerate));
    ship.onGamepadButtons(0x1000, true);
    EXPECT_TRUE(ship.isHeld(Ship::accelerate));
    ship.onGamepadButtons(0x1000, false);
    EXPECT_FALSE(ship.isHeld(Ship::accelerate));
    ship.onGamepadButtons(0x2000, true);
    EXPECT_TRUE(ship.isHeld(Ship::brake));
}

TEST_F(ShipControllerTest, TriggersAccelerateAndBrakeAsFarAsTheyArePulled) {
    ship.onRightTrigger(0.5f);
    EXPECT_TRUE(ship.isHeld(Ship::accelerate));
    steps(60);
    EXPECT_NEAR(ship.levels[Ship::accelerate], 5.0f, 1e-3f);
    ship.onRightTrigger(0.005f);
    EXPECT_FALSE(ship.isHeld(Ship::accelerate));
    steps(60);
    EXPECT_NEAR(ship.levels[Ship::accelerate], 0.0f, 1e-3f);
    ship.onLeftTrigger(1.0f);
    EXPECT_TRUE(ship.isHeld(Ship::brake));
}

TEST_F(ShipControllerTest, RepeatsAndOtherKeysChangeNothingAndNoBodyMeansNoMotion) {
    ship.onKey(GLFW_KEY_W, 0, 2, 0);
    ship.onKey(GLFW_KEY_Q, 0, GLFW_PRESS, 0);
    ship.onKey(GLFW_KEY_F2, 0, GLFW_PRESS, 0);  // no game behind the controller: ignored
    EXPECT_EQ(ship.held, 0);

    press(GLFW_KEY_SPACE);
    ship.body = nullptr;
    steps(60);
    EXPECT_EQ(ship.levels[Ship::accelerate], 0.0f);
}

// While the race is paused a control can be let go but not taken.
TEST_F(ShipControllerTest, APauseHoldsEveryControlButLettingGo) {
    press(GLFW_KEY_W);
    ship.setPaused(true);
    press(GLFW_KEY_SPACE);
    release(GLFW_KEY_W);
    EXPECT_EQ(ship.held, 0);
    ship.setPaused(false);
    press(GLFW_KEY_SPACE);
    EXPECT_TRUE(ship.isHeld(Ship::accelerate));
}

}  // namespace
}  // namespace kes
