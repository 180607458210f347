// The race's lines on the console: the player's only word on the order rule, and the record of
// a round that a script or a maintainer reads. One observer of the race among others; the
// lines are exactly those the game has always printed.
#pragma once

#include <iosfwd>
#include <string>

#include "game/race/RaceEvents.hpp"

namespace kes {

class RaceConsole final : public RaceObserver {
public:
    explicit RaceConsole(std::ostream& out) : m_out(out) {}

    void onZoneTouched(std::uint32_t zone) override;
    void onClockStarted(float time) override;
    void onZoneAccepted(std::uint32_t zone, std::uint32_t checkCount) override;
    void onRaceStarted() override;
    void onWrongZone(const WrongZone& wrong) override;
    void onRoundFinished(const RoundResult& result) override;
    void onNewBestTime(float time) override;
    void onSplit(const Split& split) override;
    void onAsteroidHit(std::uint32_t asteroid, std::int32_t respawnZone) override;
    void onRestart() override;

    // "Finished round 2 in 44.217 seconds." (the time as the stream writes a float).
    static std::string finishedRoundLine(const RoundResult& result);
    static constexpr const char* kNewBestTimeLine = "New best time!";

private:
    std::ostream& m_out;
};

}  // namespace kes
