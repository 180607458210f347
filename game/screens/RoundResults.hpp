// Each round's results while the ship flies on: its time, the medal it earned and how far the
// next one is, each zone's split against this run's best and the record as they stood before
// the round, and "New record" or "New best", for a few seconds. It listens to the race; what each
// round is measured against carries over from round to round.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "game/race/Medals.hpp"
#include "game/race/RaceEvents.hpp"

namespace kes {

class ScreenLines;

class TextRenderer;

// "Gold medal   prime 23.717 s is 0.512 s faster"; "No medal   bronze ..." below bronze.
std::string medalLine(float time, const TargetTimes& targets);

class RoundResults final : public RaceObserver {
public:
    static constexpr double kShownSeconds = 8.0;

    // A new race: nothing shown, this run's best forgotten, measured against `record`'s splits
    // (none: no record); each round's medal from `targets` (none: no medals).
    void startRace(std::vector<float> record, std::optional<TargetTimes> targets = std::nullopt);
    // The record as it stands after a round (another copy may have kept a faster one).
    void keepRecord(std::vector<float> record) { m_nextRecord = std::move(record); }
    void onRoundFinished(const RoundResult& result) override;
    // `time`: the loop's time, which says when the results were shown.
    void now(float time) { m_time = time; }
    void queue(TextRenderer& text, float time) const;
    // The dark panel the results stand on, while they are shown.
    void queueLines(ScreenLines& lines, float time) const;

    const std::optional<RoundResult>& last() const { return m_result; }

private:
    std::optional<RoundResult> m_result;
    std::vector<float> m_bestBefore;
    std::vector<float> m_nextBest;
    std::vector<float> m_recordBefore;
    std::vector<float> m_nextRecord;
    std::optional<TargetTimes> m_targets;
    float m_resultSince = 0.0f;
    float m_time = 0.0f;
};

}  // namespace kes
