// Records the flight step by step: the controls the ship was flown with (only their changes)
// from the flight's start, and the ship's place every second step through the round that is
// running. When a round ends its ghost is ready (lastRound). Its buffers are reserved for ten
// minutes of flight, so recording a step allocates nothing; a longer flight only grows them.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "game/course/Course.hpp"
#include "game/ghost/Ghost.hpp"
#include "game/race/FlightTap.hpp"
#include "game/race/RaceEvents.hpp"

namespace kes {

class FlightRecorder final : public RaceObserver, public StepRecorder {
public:
    explicit FlightRecorder(const Course& course);

    // The step just decided: flown with `controls`, the ship at `ship` as the step began.
    void recordStep(const ControlState& controls, const Transform& ship) override;
    void flightStarted(const FlightStart& start) override;

    void onClockStarted(float time) override;
    void onRoundFinished(const RoundResult& result) override;
    void onRestart() override;

    // The ghost of the last round finished, when one has.
    const std::optional<Ghost>& lastRound() const { return m_lastRound; }
    // Steps recorded since the flight's start.
    std::uint32_t steps() const { return m_step; }

    // Written into each round's ghost.
    std::string playerName;
    // Called with each round's ghost once it is complete (a step after the round's result).
    std::function<void(const Ghost&, const RoundResult&)> onRound;

private:
    void finishRound(const GhostSample& ship);

    std::string m_courseName;
    std::uint64_t m_courseHash;
    std::uint32_t m_step = 0;  // the next step's number, from the flight's start
    bool m_fromStart = true;
    std::vector<ControlChange> m_controls;
    std::vector<GhostSample> m_samples;  // the running round's
    bool m_roundRunning = false;
    std::uint32_t m_roundStart = 0;
    std::uint32_t m_rounds = 0;
    // What the events of the step's physics said, taken up when the step is recorded.
    bool m_clockStarted = false;
    std::optional<RoundResult> m_finished;
    FlightStart m_start;
    std::optional<Ghost> m_lastRound;
};

}  // namespace kes
