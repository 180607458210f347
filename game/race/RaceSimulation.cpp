#include "game/race/RaceSimulation.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "physics/Step.hpp"
#include "game/course/CourseLayout.hpp"

namespace kes {
namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;
constexpr float kAsteroidSwing = 100.0f;  // units per second at the swing's fastest

template <typename Body>
std::int32_t indexOf(const std::vector<Body*>& bodies, const CollisionBody* body) {
    const auto found = std::find(bodies.begin(), bodies.end(), body);
    return found == bodies.end() ? -1 : static_cast<std::int32_t>(found - bodies.begin());
}

}  // namespace

RaceSimulation::RaceSimulation(PhysicsService& physics, Difficulty difficulty_, Course course_)
    : course(std::move(course_)), difficulty(difficulty_) {
    level::layOutCourse(path, course);
    createShip(physics);
    createTargetZones(physics);
    createAsteroids(physics);
    physics.world->setEventListener(&m_listener);

    shipController.body = shipBody;
    m_launchPosition = shipBody->getTransform().position;
    m_launchOrientation = shipBody->getTransform().orientation;
    shipController.respawn(m_launchPosition);
    shipController.orientation = m_launchOrientation;
    m_startCandidate.rocks.reserve(asteroidBodies.size());
    m_flightStart.rocks.reserve(asteroidBodies.size());
    takeStartCandidate();
}

// The ship starts on its mid point, its nose turned back along the start of the course.
void RaceSimulation::createShip(PhysicsService& physics) {
    RigidBody* body = physics.createRigidBody(path.midPoints()[course.startMidPoint].position,
                                              glm::vec3(0.0f), glm::vec3(0.0f));
    body->addCollider(
        physics.common.createCapsuleShape(level::kShipHullRadius, level::kShipHullHeight),
        {glm::vec3(0.0f), glm::quat(glm::vec3(kHalfPi, 0.0f, 0.0f))});
    CollisionShape* wing = physics.common.createBoxShape(level::kShipWingHalfExtents);
    const glm::quat upright(1.0f, 0.0f, 0.0f, 0.0f);
    body->addCollider(wing, {{-level::kShipWingOffset, 0.0f, 0.0f}, upright});
    body->addCollider(wing, {{level::kShipWingOffset, 0.0f, 0.0f}, upright});
    body->setTransform({body->getTransform().position, level::shipLaunchOrientation(path)});
    shipBody = body;
}

// The zones where the course places them (on the first course one every tenth of it), turned
// to face along the course; all share one sphere.
void RaceSimulation::createTargetZones(PhysicsService& physics) {
    const std::vector<PathMidPoint>& mids = path.midPoints();
    CollisionShape* sphere = physics.common.createSphereShape(level::kZoneSphereRadius);
    for (const std::size_t k : level::zoneMidPoints(course, mids.size())) {
        CollisionBody* body =
            physics.world->createCollisionBody({mids[k].position, level::zoneOrientation(mids, k)});
        body->addCollider(sphere, {glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f)});
        zoneBodies.push_back(body);
    }
    race.targetZoneCount = static_cast<std::int32_t>(zoneBodies.size());
}

void RaceSimulation::createAsteroids(PhysicsService& physics) {
    for (const std::size_t mid : level::asteroidMidPoints(course, path.midPoints().size())) {
        RigidBody* body = physics.createRigidBody(path.midPoints()[mid].position, glm::vec3(0.0f),
                                                  glm::vec3(0.0f));
        body->addCollider(
            physics.common.createCapsuleShape(level::kAsteroidRadius, level::kAsteroidHeight),
            {glm::vec3(0.0f), glm::quat(glm::vec3(0.0f, 0.0f, kHalfPi))});
        asteroidBodies.push_back(body);
    }
}

// The asteroids swing together along x, a full swing every 2 pi seconds of simulation.
// Until a flight's first step is steered, each step may be its first: the state before this
// step's physics is kept as its start, and the state after it as the next step's candidate.
void RaceSimulation::beginStep() {
    if (m_flightStep == 0) {
        m_flightStart = m_startCandidate;
    }
    const float time = stepTime(m_clockStep++);
    // The contacts of the next step's physics update are stamped with that step's time.
    race.currentTime = time + kFixedStep;
    const float swing = asteroidSwing(time);
    for (RigidBody* asteroid : asteroidBodies) {
        asteroid->setLinearVelocity({swing, 0.0f, 0.0f});
    }
    if (m_flightStep == 0) {
        takeStartCandidate();
    }
}

// Copied into vectors reserved for the course's asteroids: no allocation while a countdown
// holds the race.
void RaceSimulation::takeStartCandidate() {
    FlightStart& start = m_startCandidate;
    start.clockStep = m_clockStep;
    start.raceClock = race.currentTime;
    const Transform ship = shipBody->getTransform();
    start.shipPosition = ship.position;
    start.shipOrientation = ship.orientation;
    start.rocks.clear();
    for (const RigidBody* asteroid : asteroidBodies) {
        const Transform rock = asteroid->getTransform();
        start.rocks.push_back({rock.position, rock.orientation, asteroid->getLinearVelocity()});
    }
}

bool RaceSimulation::startFlightFrom(const FlightStart& start) {
    if (start.rocks.size() != asteroidBodies.size()) {
        return false;
    }
    for (std::size_t i = 0; i < asteroidBodies.size(); ++i) {
        const RockStart& rock = start.rocks[i];
        asteroidBodies[i]->setTransform({rock.position, rock.orientation});
        asteroidBodies[i]->setLinearVelocity(rock.velocity);
    }
    m_clockStep = start.clockStep;
    race.currentTime = start.raceClock;
    m_flightStep = 0;
    shipController.respawn(start.shipPosition);
    shipController.orientation = start.shipOrientation;
    shipBody->setLinearVelocity(glm::vec3(0.0f));
    shipBody->teleport({start.shipPosition, start.shipOrientation});
    race.restart();
    m_startCandidate = start;
    return true;
}

// The ship flies each step with the bonus of where this step's physics left it before; the
// bonus then measured is the next step's. It follows where the simulation has the ship, never
// where a frame drew it: the flight must not depend on how often the machine draws.
void RaceSimulation::steerShip() {
    if (replay != nullptr) {
        shipController.setControls(replay->controlsAt(m_flightStep));
    }
    const Transform ship = shipBody->getTransform();
    if (recorder != nullptr && m_flightStep == 0) {
        recorder->flightStarted(m_flightStart);
    }
    if (recorder != nullptr) {
        recorder->recordStep(shipController.controls(), ship);
    }
    ++m_flightStep;
    const float distance = path.distanceToClosestMidPoint(ship.position);
    const float nextBonus = speedFactorFor(difficulty, distance);
    shipController.fixedUpdate();
    shipController.speedFactor = nextBonus;
}

// The ship stands at the start at once, at rest, so a countdown shows it there; and it starts
// touching whatever it stands in, so the start zone counts at the next step even when the ship
// never left it (a restart right after the level's start or the one before).
void RaceSimulation::restart() {
    m_flightStep = 0;
    shipController.respawn(m_launchPosition);
    shipController.orientation = m_launchOrientation;
    shipBody->setLinearVelocity(glm::vec3(0.0f));
    shipBody->teleport({m_launchPosition, m_launchOrientation});
    race.restart();
    takeStartCandidate();
}

void RaceSimulation::releaseBodies(PhysicsService& physics) {
    physics.world->setEventListener(nullptr);
    physics.world->destroyBody(shipBody);
    for (CollisionBody* zone : zoneBodies) {
        physics.world->destroyBody(zone);
    }
    for (RigidBody* asteroid : asteroidBodies) {
        physics.world->destroyBody(asteroid);
    }
    shipBody = nullptr;
    shipController.body = nullptr;
    zoneBodies.clear();
    asteroidBodies.clear();
}

std::uint32_t RaceSimulation::nextZone() const {
    return static_cast<std::uint32_t>(nextZoneAfter(race.lastChecked, zoneBodies.size()));
}

glm::vec3 RaceSimulation::zonePosition(std::uint32_t zone) const {
    return zoneBodies[zone]->getTransform().position;
}

bool RaceSimulation::isShip(const CollisionBody* body) {
    return body == shipBody;
}

std::int32_t RaceSimulation::getTargetZoneIndex(const CollisionBody* body) {
    return indexOf(zoneBodies, body);
}

void RaceSimulation::onTargetZoneTouched(std::int32_t index) {
    race.onTargetZoneReached(static_cast<std::uint32_t>(index));
}

std::int32_t RaceSimulation::getAsteroidIndex(const CollisionBody* body) {
    return indexOf(asteroidBodies, body);
}

// The ship goes back to the last zone it checked, or to its start before the first (the world's
// origin, where it once went, lies outside most courses).
void RaceSimulation::onAsteroidTouched(std::int32_t index) {
    const auto zone = static_cast<std::int32_t>(race.lastChecked);
    glm::vec3 respawnAt = m_launchPosition;
    if (zone >= 0 && zone < static_cast<std::int32_t>(zoneBodies.size())) {
        respawnAt = zonePosition(static_cast<std::uint32_t>(zone));
    }
    race.onAsteroidTouched(static_cast<std::uint32_t>(index));
    shipController.respawn(respawnAt);
}

float asteroidSwing(float time) {
    return kAsteroidSwing * std::sin(time + 0.5f);
}

Autopilot autopilotFor(RaceSimulation& race) {
    std::vector<glm::vec3> course;
    for (const PathMidPoint& mid : race.path.midPoints()) {
        course.push_back(mid.position);
    }
    return Autopilot(race.shipController, std::move(course),
                     level::zoneMidPoints(race.course, race.path.midPoints().size()),
                     {race.asteroidBodies.begin(), race.asteroidBodies.end()});
}

}  // namespace kes
