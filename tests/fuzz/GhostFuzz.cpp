// Fuzzes the ghost reader: any bytes as a ghost file must be refused with a reason or read
// into a ghost whose parts agree (a round with steps, its time theirs, strengths a stick can
// give, an end within a day of flight), that writes back to the same bytes and can be drawn
// and flown step by step without a fault.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "physics/Step.hpp"
#include "game/ghost/Ghost.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kes::GhostRead read = kes::decodeGhost(bytes);
    if (!read.ghost) {
        if (read.problem.empty()) {
            std::abort();  // refused without saying why
        }
        return 0;
    }
    const kes::Ghost& ghost = *read.ghost;
    if (ghost.round == 0 || ghost.roundEndStep <= ghost.roundStartStep ||
        ghost.roundEndStep > kes::Ghost::kLongestFlight || !(ghost.roundTime > 0.0f)) {
        std::abort();  // a ghost that cannot be flown got through
    }
    for (const kes::ControlChange& change : ghost.controls) {
        for (const float strength : change.state.strengths) {
            if (!(strength >= 0.0f && strength <= 1.5f)) {
                std::abort();
            }
        }
    }
    if (kes::encodeGhost(ghost) != bytes) {
        std::abort();  // what was read does not write back as itself
    }
    for (float t = -1.0f; t < ghost.roundTime + 1.0f; t += ghost.roundTime / 7.0f + 0.01f) {
        const kes::GhostSample at = ghost.at(t);
        (void)at;
    }
    const std::uint32_t steps = ghost.roundEndStep - ghost.roundStartStep;
    for (std::uint32_t step = ghost.roundStartStep; step <= ghost.roundEndStep;
         step += steps / 5 + 1) {
        (void)ghost.controlsAt(step);
    }
    return 0;
}
