// Flies the race by fixed steps alone, as the main loop and the demo do, without a window: the
// physics world's update, the simulation's step, then the autopilot's decision for the next.
#pragma once

#include <cstdint>

#include "app/FixedStepLoop.hpp"
#include "control/Autopilot.hpp"
#include "game/PhysicsService.hpp"
#include "game/RaceSimulation.hpp"
#include "render/Camera.hpp"

namespace kes::test {

struct HeadlessRace {
    explicit HeadlessRace(Course course = firstCourse())
        : simulation(physics, camera, Difficulty::hard, std::move(course)) {}

    // One fixed step; `steps` counts them, so the simulation's time is steps / 60.
    void step() {
        physics.world->update(kFixedStep);
        simulation.fixedUpdate(static_cast<float>(double(steps) * double(kFixedStep)));
        ++steps;
    }

    PhysicsService physics;
    Camera camera{90.0f, 1.0f, 0.1f, 1000.0f, {0, 0, 0}, 1.0f, {0, 0, 1}, {0, 1, 0}};
    RaceSimulation simulation;
    std::uint64_t steps = 0;
};

}  // namespace kes::test
