// Where a flight starts: everything its steps depend on besides the controls it is flown with.
// The ship stands at rest at its place; the asteroids stand where they stood, moving as they
// moved (their swing follows the simulation's clock, which goes on across restarts); the race's
// clock is the time the first step's contacts are stamped with. Taken as the flight's first
// step begins, before the physics update of that step, so a fresh simulation put into this
// state and stepped on flies the same steps.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

namespace kes {

struct RockStart {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
    glm::vec3 velocity{0.0f};
};

struct FlightStart {
    std::uint64_t clockStep = 0;  // the simulation's step that is the flight's first
    float raceClock = 0.0f;       // the race's clock before that step
    glm::vec3 shipPosition{0.0f};
    glm::quat shipOrientation{1.0f, 0.0f, 0.0f, 0.0f};
    std::vector<RockStart> rocks;
};

}  // namespace kes
