// The level as a recorded round had it, for watching it: the ship where the ghost's samples put
// it and the rocks where they swung at that moment (from the flight's start, summed step by
// step as the physics moved them), the next ring highlighted. The race stands held meanwhile.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

#include "game/ghost/Ghost.hpp"
#include "game/race/FlightStart.hpp"

namespace kes {

class ReplayStage {
public:
    // `start` is where `ghost`'s flight began (its own, or a fresh course's for an older file).
    ReplayStage(const Ghost& ghost, FlightStart start);

    // Where rock `rock` stood `stepsIn` steps into the round (as the step's physics left it).
    glm::vec3 rockAt(std::size_t rock, std::uint32_t stepsIn) const;
    std::size_t rocks() const { return m_start.rocks.size(); }

private:
    FlightStart m_start;
    std::uint32_t m_roundStart;
    std::vector<float> m_swing;  // the x offset after each step of the flight, summed
};

}  // namespace kes
