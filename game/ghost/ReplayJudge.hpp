// Whether a recorded flight, flown again, proves its round: the round finishes on the same
// step with the same time and the same splits. The simulation is deterministic for the same
// binary: fixed steps of 1/60 s, no wall-clock input, the physics library's collision detection
// on the bodies' kinematic moves, the controller's ramps in single precision. A different build
// (another compiler, other floating-point flags, another physics library version) may round
// differently and so fly a different round.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/ghost/Ghost.hpp"
#include "game/race/RaceEvents.hpp"
#include "game/race/RaceSimulation.hpp"

namespace kes {

class ReplayJudge final : public RaceObserver {
public:
    // Judges `race` flying `ghost`'s controls; both must outlive the judge.
    ReplayJudge(const Ghost& ghost, const RaceSimulation& race);

    void onRoundFinished(const RoundResult& result) override;
    // After each step: gives up once the flight is well past the recorded finish.
    void afterStep();

    bool decided() const { return m_verdict.has_value(); }
    bool reproduced() const { return m_reproduced; }
    // "Replay reproduces round time 44.217 s" or "Replay differs: finished in 44.300 s,
    // recorded 44.217 s"; empty until decided.
    std::string verdict() const { return m_verdict.value_or(""); }

private:
    const Ghost& m_ghost;
    const RaceSimulation& m_race;
    std::uint32_t m_rounds = 0;
    bool m_reproduced = false;
    std::optional<std::string> m_verdict;
};

}  // namespace kes
