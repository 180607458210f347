// Prints what the per-step game work costs: one physics world update with the level's 22
// bodies, and the ship's distance to the nearest of the course's mid points. Not a test: the
// figures depend on the machine and its load.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "game/level/LevelLayout.hpp"
#include "physics/PhysicsService.hpp"
#include "game/course/RacePath.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr float kStep = 1.0f / 60.0f;
constexpr float kHalfPi = 1.5707964f;
constexpr int kUpdates = 3000;
constexpr int kQueries = 20000;

kes::RacePath buildPath() {
    kes::RacePath path;
    for (const glm::vec3& point : kes::raceControlPoints()) {
        path.addControlPoint(point);
    }
    // The path's own timing lines are not what this benchmark reports.
    std::ostringstream quiet;
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());
    path.calculateLength();
    path.calculateMidPoints(path.midPointSpacing);
    std::cout.rdbuf(console);
    return path;
}

// The level's bodies: the sun, the ship, ten target zones and ten asteroids on the course.
kes::RigidBody* buildLevel(kes::PhysicsService& physics, const kes::RacePath& path) {
    namespace level = kes::level;
    const auto& mids = path.midPoints();
    physics.createRigidBody(level::kSunPosition, {0, 0, 0}, {0, 0, 0});
    const glm::vec3 start = mids[level::kShipStartMidPoint].position;
    kes::RigidBody* ship = physics.createRigidBody(
        start, {0, 0, 0}, glm::normalize(mids[level::kShipStartMidPoint].gradient) * 120.0f);
    ship->addCollider(
        physics.common.createCapsuleShape(level::kShipHullRadius, level::kShipHullHeight),
        {glm::vec3(0.0f), glm::quat(glm::vec3(kHalfPi, 0, 0))});
    kes::CollisionShape* wing = physics.common.createBoxShape(level::kShipWingHalfExtents);
    ship->addCollider(wing, {{-level::kShipWingOffset, 0, 0}, glm::quat(1, 0, 0, 0)});
    ship->addCollider(wing, {{level::kShipWingOffset, 0, 0}, glm::quat(1, 0, 0, 0)});
    kes::CollisionShape* zone = physics.common.createSphereShape(level::kZoneSphereRadius);
    for (const std::size_t k : level::zoneMidPoints(mids.size())) {
        physics.world->createCollisionBody({mids[k].position, glm::quat(1, 0, 0, 0)})
            ->addCollider(zone, {});
    }
    kes::CollisionShape* rock =
        physics.common.createCapsuleShape(level::kAsteroidRadius, level::kAsteroidHeight);
    for (const std::size_t k : level::asteroidMidPoints(mids.size())) {
        physics.createRigidBody(mids[k].position, {0, 0, 0}, {0, 8, 0})
            ->addCollider(rock, {glm::vec3(0.0f), glm::quat(glm::vec3(0, 0, kHalfPi))});
    }
    return ship;
}

double microsecondsPer(Clock::duration total, int count) {
    return std::chrono::duration<double, std::micro>(total).count() / count;
}

}  // namespace

int main() {
    const kes::RacePath path = buildPath();
    kes::PhysicsService physics;
    kes::RigidBody* ship = buildLevel(physics, path);

    const Clock::time_point updatesStart = Clock::now();
    for (int i = 0; i < kUpdates; ++i) {
        physics.world->update(kStep);
    }
    const double perUpdate = microsecondsPer(Clock::now() - updatesStart, kUpdates);

    float sink = 0.0f;  // keeps the queries from being optimised away
    const glm::vec3 shipPosition = ship->getTransform().position;
    const Clock::time_point queriesStart = Clock::now();
    for (int i = 0; i < kQueries; ++i) {
        sink += path.distanceToClosestMidPoint(shipPosition + glm::vec3(static_cast<float>(i % 7)));
    }
    const double perQuery = microsecondsPer(Clock::now() - queriesStart, kQueries);

    std::printf("%-44s %10s\n", "operation", "us / call");
    std::printf("%-44s %10.2f\n", "PhysicsWorld::update (22 bodies)", perUpdate);
    std::printf("%-44s %10.2f\n", "RacePath::distanceToClosestMidPoint (460)", perQuery);
    std::printf("(%d updates, %d queries; checksum %.1f)\n", kUpdates, kQueries, sink);
    return 0;
}
