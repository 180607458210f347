// The race as the simulation runs it, with no window and no picture: the course, the ship's
// body flown by its controller, the target zones' and asteroids' bodies in the physics world,
// the rules of the race and the dispatch of the world's contacts to them. The game layer draws
// it; tests and tools can fly it by fixed steps alone.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "control/Autopilot.hpp"
#include "control/Difficulty.hpp"
#include "control/ShipController.hpp"
#include "game/course/Course.hpp"
#include "game/course/RacePath.hpp"
#include "game/race/CollisionsListener.hpp"
#include "game/race/FlightStart.hpp"
#include "game/race/FlightTap.hpp"
#include "game/race/RaceState.hpp"
#include "physics/PhysicsService.hpp"
#include "physics/Step.hpp"

namespace kes {

class RaceSimulation final : public ColliderTypeChecker {
public:
    // Lays out the course and puts the ship, the zones and the asteroids into `physics`'s
    // world; the world's contacts come here from now on, so the world must not be updated
    // once the simulation is gone (the application destroys its world before its layers; the
    // bodies and shapes go with the world).
    RaceSimulation(PhysicsService& physics, Difficulty difficulty, Course course = firstCourse());
    RaceSimulation(const RaceSimulation&) = delete;
    RaceSimulation& operator=(const RaceSimulation&) = delete;

    // A fixed step after the physics world's update, in two halves so that whoever draws the
    // bodies can take their transforms in between, before the ship's controller turns the
    // ship for the next step. The simulation keeps its own clock, counted in steps from its
    // making (a course raced anew starts its asteroids' swing anew); a step held by a
    // countdown still begins, so the clock goes on while nothing moves.
    void beginStep();  // the race's clock and the asteroids' swing
    void steerShip();  // the controller's step, and the speed bonus for the next
    void fixedUpdate() {
        beginStep();
        steerShip();
    }
    // The simulation's time before the next step.
    float clock() const { return stepTime(m_clockStep); }

    // The ship back at the start, facing along the course as at launch; the zones to fly
    // again, the best time and the record kept.
    void restart();
    // Takes the ship's, the zones' and the asteroids' bodies out of `physics`'s world and stops
    // hearing its contacts: before the simulation goes while the world stays (another course).
    void releaseBodies(PhysicsService& physics);
    // Puts the simulation where a recorded flight started (its ship, asteroids and clocks) and
    // begins a flight from there; false, with nothing changed, when the start is not one of
    // this course (another number of asteroids).
    bool startFlightFrom(const FlightStart& start);
    // Steps flown since the start or the last restart.
    std::uint32_t flightStep() const { return m_flightStep; }
    // Where the running flight started (taken as its first step began).
    const FlightStart& flightStart() const { return m_flightStart; }
    // The zone the player must touch next.
    std::uint32_t nextZone() const;
    glm::vec3 zonePosition(std::uint32_t zone) const;

    bool isShip(const CollisionBody* body) override;
    std::int32_t getTargetZoneIndex(const CollisionBody* body) override;
    void onTargetZoneTouched(std::int32_t index) override;
    std::int32_t getAsteroidIndex(const CollisionBody* body) override;
    void onAsteroidTouched(std::int32_t index) override;

    const Course course;
    RacePath path;
    RaceState race;
    HidListener_SceneNodeController shipController;
    // Told every step's controls and the ship's place; none: the flight is not recorded.
    StepRecorder* recorder = nullptr;
    // Flown instead of the controller's own inputs, step by step: a recorded flight from the
    // start; none: the player's (or the autopilot's) keys.
    const ControlSource* replay = nullptr;
    RigidBody* shipBody = nullptr;
    std::vector<CollisionBody*> zoneBodies;
    std::vector<RigidBody*> asteroidBodies;
    Difficulty difficulty;

private:
    void createShip(PhysicsService& physics);
    void createTargetZones(PhysicsService& physics);
    void createAsteroids(PhysicsService& physics);
    // The state between two steps, which is a flight's start if the next step is its first.
    void takeStartCandidate();

    CollisionsListener m_listener{this};
    glm::vec3 m_launchPosition{0.0f};
    std::uint32_t m_flightStep = 0;
    std::uint64_t m_clockStep = 0;  // the next step to begin
    glm::quat m_launchOrientation{1.0f, 0.0f, 0.0f, 0.0f};
    FlightStart m_startCandidate;
    FlightStart m_flightStart;
};

// The asteroids' speed along x set at the step beginning at `time`: they swing together, a full
// swing every 2 pi seconds of simulation. The replay's stage sums the same to place them.
float asteroidSwing(float time);

// The autopilot at `race`'s controls: it follows the course's mid points, reaches for the zones
// and flies around the asteroids.
Autopilot autopilotFor(RaceSimulation& race);

}  // namespace kes
