// Flies the race by fixed steps alone, as the main loop and the demo do, without a window: the
// physics world's update, the simulation's step, then the autopilot's decision for the next.
#pragma once

#include <cstdint>

#include "physics/Step.hpp"
#include "control/Autopilot.hpp"
#include "physics/PhysicsService.hpp"
#include "game/race/RaceSimulation.hpp"

namespace kes::test {

struct HeadlessRace {
    explicit HeadlessRace(Course course = firstCourse())
        : simulation(physics, Difficulty::hard, std::move(course)) {}

    // One fixed step; `steps` counts them, so the simulation's time is steps / 60.
    void step() {
        physics.world->update(kFixedStep);
        simulation.fixedUpdate(static_cast<float>(double(steps) * double(kFixedStep)));
        ++steps;
    }

    PhysicsService physics;
    RaceSimulation simulation;
    std::uint64_t steps = 0;
};

}  // namespace kes::test
