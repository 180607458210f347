// What flies beside the race step by step: a recorder told every step's controls and where the
// ship was, and a source of controls that flies the ship instead of the player (a recorded
// flight). The race knows them only as these; the ghosts implement them.
#pragma once

#include <cstdint>

#include "control/ControlState.hpp"
#include "game/race/FlightStart.hpp"
#include "physics/Transform.hpp"

namespace kes {

class StepRecorder {
public:
    // A flight begins with the step that follows, from `start`.
    virtual void flightStarted(const FlightStart& start) = 0;
    // The step just decided: flown with `controls`, the ship at `ship` as the step began.
    virtual void recordStep(const ControlState& controls, const Transform& ship) = 0;

protected:
    ~StepRecorder() = default;
};

class ControlSource {
public:
    // The controls of `step`, counted from the flight's start.
    virtual ControlState controlsAt(std::uint32_t step) const = 0;

protected:
    ~ControlSource() = default;
};

}  // namespace kes
