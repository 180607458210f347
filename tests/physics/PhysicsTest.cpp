// Real Bullet bodies shaped like the level's: a ship of a capsule and two wing boxes, target
// zones of one big sphere, asteroids of one capsule.
#include "physics/PhysicsService.hpp"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/race/CollisionsListener.hpp"
#include "game/level/LevelLayout.hpp"

namespace kes {
namespace {

constexpr float kStep = 1.0f / 60.0f;
constexpr float kHalfPi = 1.5707964f;

// Answers like the game layer and records what it was told.
class RecordingChecker final : public ColliderTypeChecker {
public:
    bool isShip(const CollisionBody* body) override {
        ++queries;
        return body == ship;
    }
    std::int32_t getTargetZoneIndex(const CollisionBody* body) override {
        ++queries;
        return indexIn(zones, body);
    }
    void onTargetZoneTouched(std::int32_t index) override {
        events.push_back("zone " + std::to_string(index));
    }
    std::int32_t getAsteroidIndex(const CollisionBody* body) override {
        ++queries;
        return indexIn(asteroids, body);
    }
    void onAsteroidTouched(std::int32_t index) override {
        events.push_back("asteroid " + std::to_string(index));
    }

    const CollisionBody* ship = nullptr;
    std::vector<const CollisionBody*> zones;
    std::vector<const CollisionBody*> asteroids;
    std::vector<std::string> events;
    int queries = 0;

private:
    static std::int32_t indexIn(const std::vector<const CollisionBody*>& bodies,
                                const CollisionBody* body) {
        for (std::size_t i = 0; i < bodies.size(); ++i) {
            if (bodies[i] == body) {
                return static_cast<std::int32_t>(i);
            }
        }
        return -1;
    }
};

class PhysicsTest : public testing::Test {
protected:
    void SetUp() override { physics.world->setEventListener(&listener); }

    RigidBody* makeShip(const glm::vec3& position, const glm::vec3& velocity) {
        RigidBody* body = physics.createRigidBody(position, glm::vec3(0.0f), velocity);
        body->addCollider(
            physics.common.createCapsuleShape(level::kShipHullRadius, level::kShipHullHeight),
            {glm::vec3(0.0f), glm::quat(glm::vec3(kHalfPi, 0, 0))});
        CollisionShape* wing = physics.common.createBoxShape(level::kShipWingHalfExtents);
        body->addCollider(wing, {{-level::kShipWingOffset, 0, 0}, glm::quat(1, 0, 0, 0)});
        body->addCollider(wing, {{level::kShipWingOffset, 0, 0}, glm::quat(1, 0, 0, 0)});
        checker.ship = body;
        return body;
    }
    CollisionBody* makeZone(const glm::vec3& position) {
        CollisionBody* body = physics.world->createCollisionBody({position, glm::quat(1, 0, 0, 0)});
        body->addCollider(zoneSphere, {});
        checker.zones.push_back(body);
        return body;
    }
    RigidBody* makeAsteroid(const glm::vec3& position) {
        RigidBody* body = physics.createRigidBody(position, glm::vec3(0.0f), glm::vec3(0.0f));
        body->addCollider(
            physics.common.createCapsuleShape(level::kAsteroidRadius, level::kAsteroidHeight),
            {glm::vec3(0.0f), glm::quat(glm::vec3(0, 0, kHalfPi))});
        checker.asteroids.push_back(body);
        return body;
    }
    void step(int times) {
        for (int i = 0; i < times; ++i) {
            physics.world->update(kStep);
        }
    }

    PhysicsService physics;
    RecordingChecker checker;
    CollisionsListener listener{&checker};
    CollisionShape* zoneSphere = physics.common.createSphereShape(level::kZoneSphereRadius);
};

TEST_F(PhysicsTest, TheWorldIsNamedAndDebugRenderingStartsOff) {
    EXPECT_EQ(physics.world->getName(), "Physics_Driftline_2021");
    EXPECT_FALSE(physics.debugRenderingEnabled);
    EXPECT_FALSE(physics.world->getIsDebugRenderingEnabled());
    using Item = DebugRenderer::DebugItem;
    EXPECT_TRUE(physics.debugRenderer->getIsDebugItemDisplayed(Item::CONTACT_POINT));
    EXPECT_FALSE(physics.debugRenderer->getIsDebugItemDisplayed(Item::COLLISION_SHAPE));
}

TEST_F(PhysicsTest, AKinematicBodyKeepsItsVelocityAndNeverSleeps) {
    RigidBody* body = physics.createRigidBody({1, 2, 3}, {0, 0, 0}, {0, 0, 0});
    EXPECT_EQ(body->getType(), BodyType::KINEMATIC);
    EXPECT_FALSE(body->isGravityEnabled());
    EXPECT_FALSE(body->isAllowedToSleep());
    step(120);  // two seconds at rest: gravity would have pulled it, sleep would have frozen it
    EXPECT_EQ(body->getTransform().position, glm::vec3(1, 2, 3));
    EXPECT_FALSE(body->isSleeping());

    body->setLinearVelocity({6, 0, -3});
    step(60);
    EXPECT_NEAR(body->getTransform().position.x, 7.0f, 1e-3f);
    EXPECT_NEAR(body->getTransform().position.z, 0.0f, 1e-3f);
    EXPECT_EQ(body->getLinearVelocity(), glm::vec3(6, 0, -3));
}

TEST_F(PhysicsTest, EulerAnglesTurnAboutXThenYThenZ) {
    RigidBody* body = physics.createRigidBody({0, 0, 0}, {kHalfPi, 0, 0}, {0, 0, 0});
    const glm::vec3 up = body->getTransform().orientation * glm::vec3(0, 1, 0);
    EXPECT_NEAR(up.z, 1.0f, 1e-5f);  // y turned a quarter about x lands on z
}

TEST_F(PhysicsTest, FlyingThroughAZoneTouchesItOnceUntilTheShipLeavesAndComesBack) {
    for (int i = 0; i < 5; ++i) {
        makeZone({1000.0f * static_cast<float>(i + 1), 0, 0});  // far away: zones 0 ... 4
    }
    makeZone({0, 0, 0});  // zone 5, in the ship's way
    RigidBody* ship = makeShip({0, 0, -100}, {0, 0, 60});
    step(30);  // half a second: 30 units on, 50 from the centre, not yet touching
    EXPECT_TRUE(checker.events.empty());
    step(30);  // inside now, and staying inside for a while
    EXPECT_EQ(checker.events, std::vector<std::string>{"zone 5"});
    step(60);
    EXPECT_EQ(checker.events.size(), 1u);
    step(120);  // out the other side
    ship->setLinearVelocity({0, 0, -60});
    step(90);  // and back in
    EXPECT_EQ(checker.events, (std::vector<std::string>{"zone 5", "zone 5"}));
}

TEST_F(PhysicsTest, AnAsteroidTouchSendsTheAsteroidsIndex) {
    makeAsteroid({500, 0, 0});
    makeAsteroid({0, 0, 20});
    makeShip({0, 0, 0}, {0, 0, 20});
    step(30);
    EXPECT_EQ(checker.events, std::vector<std::string>{"asteroid 1"});
}

TEST_F(PhysicsTest, ContactsWithoutTheShipAreIgnored) {
    makeZone({0, 0, 0});
    makeAsteroid({10, 0, 0});  // inside the zone
    makeAsteroid({10, 5, 0});  // overlapping the first asteroid
    step(5);
    EXPECT_TRUE(checker.events.empty());
    EXPECT_GT(checker.queries, 0);  // the pairs were looked at
}

TEST_F(PhysicsTest, AStepWithoutContactsAsksNothing) {
    makeZone({0, 0, 0});
    makeShip({0, 0, 500}, {0, 0, 1});
    makeAsteroid({-500, 0, 0});
    step(10);
    EXPECT_EQ(checker.queries, 0);
}

TEST(CollisionsListener, TheShipAsSecondBodyCountsTheSameAndOnlyStartsCount) {
    PhysicsService physics;
    RecordingChecker checker;
    RigidBody* ship = physics.createRigidBody({0, 0, 0}, {0, 0, 0}, {0, 0, 0});
    CollisionBody* zone = physics.world->createCollisionBody({});
    checker.ship = ship;
    checker.zones = {nullptr, nullptr, nullptr, nullptr, zone};
    CollisionsListener listener(&checker);
    using Event = ContactPair::EventType;
    const std::vector<ContactPair> pairs{{zone, ship, Event::ContactStart},
                                         {ship, zone, Event::ContactStay},
                                         {zone, ship, Event::ContactExit},
                                         {ship, zone, Event::ContactStart}};
    listener.onContact(CallbackData(pairs));
    EXPECT_EQ(checker.events, (std::vector<std::string>{"zone 4", "zone 4"}));
}

TEST_F(PhysicsTest, DebugGeometryIsOfferedOnlyWhileSwitchedOn) {
    std::vector<VertexPosColor> lines{{{1, 2, 3}, 7}};
    std::vector<VertexPosColor> triangles{{{4, 5, 6}, 8}, {{4, 5, 6}, 8}};
    EXPECT_FALSE(physics.getDebugGeometry(lines, triangles));
    EXPECT_EQ(lines.size(), 1u);  // left alone
    EXPECT_EQ(triangles.size(), 2u);

    physics.toggleDebugRendering();
    step(1);  // an empty world: nothing to draw, but the view is on
    EXPECT_TRUE(physics.getDebugGeometry(lines, triangles));
    EXPECT_TRUE(lines.empty());
    EXPECT_TRUE(triangles.empty());

    makeZone({0, 0, 0});
    makeShip({0, 0, 0}, {0, 0, 0});  // inside the zone: touching
    step(1);
    ASSERT_TRUE(physics.getDebugGeometry(lines, triangles));
    const auto count = [&](const std::vector<VertexPosColor>& list, std::uint32_t colour) {
        return std::count_if(list.begin(), list.end(),
                             [colour](const VertexPosColor& v) { return v.color == colour; });
    };
    EXPECT_GT(count(triangles, DebugRenderer::kShapeColour), 0);
    EXPECT_GT(count(triangles, DebugRenderer::kContactPointColour), 0);
    EXPECT_GT(count(lines, DebugRenderer::kContactNormalColour), 0);
    EXPECT_EQ(triangles.size() % 3, 0u);
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        EXPECT_NEAR(glm::distance(lines[i].position, lines[i + 1].position), 1.0f, 1e-4f);
    }

    physics.toggleDebugRendering();
    EXPECT_FALSE(physics.getDebugGeometry(lines, triangles));
    EXPECT_FALSE(
        physics.debugRenderer->getIsDebugItemDisplayed(DebugRenderer::DebugItem::COLLISION_SHAPE));
}

// The wing boxes sit at x = ±5 of the ship: a body that only the right wing reaches touches.
TEST_F(PhysicsTest, CollidersSitAtTheirLocalTransforms) {
    makeShip({0, 0, 0}, {0, 0, 0});
    CollisionBody* marker = physics.world->createCollisionBody({{7, 0, 0}, glm::quat(1, 0, 0, 0)});
    marker->addCollider(physics.common.createSphereShape(0.2f), {});
    checker.zones.push_back(marker);
    step(1);
    EXPECT_EQ(checker.events, std::vector<std::string>{"zone 0"});
}

}  // namespace
}  // namespace kes
