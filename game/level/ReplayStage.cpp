#include "game/level/ReplayStage.hpp"

#include <algorithm>
#include <cmath>

#include "game/race/RaceSimulation.hpp"
#include "physics/Step.hpp"

namespace kes {

// Flight step 0's physics moves the rocks by the velocity the start holds; each step after by
// the swing the step before it set, which follows the simulation's clock.
ReplayStage::ReplayStage(const Ghost& ghost, FlightStart start)
    : m_start(std::move(start)), m_roundStart(ghost.roundStartStep) {
    const std::uint32_t steps = ghost.roundEndStep + 1;
    m_swing.resize(steps);
    float offset = 0.0f;
    for (std::uint32_t step = 0; step < steps; ++step) {
        const float velocity =
            step == 0 ? 0.0f : asteroidSwing(stepTime(m_start.clockStep + step - 1));
        offset += velocity * kFixedStep;
        m_swing[step] = offset;
    }
}

glm::vec3 ReplayStage::rockAt(std::size_t rock, std::uint32_t stepsIn) const {
    const RockStart& start = m_start.rocks[rock];
    const std::uint32_t step =
        std::min<std::uint32_t>(m_roundStart + stepsIn, std::uint32_t(m_swing.size() - 1));
    return start.position + start.velocity * kFixedStep + glm::vec3(m_swing[step], 0.0f, 0.0f);
}

}  // namespace kes
