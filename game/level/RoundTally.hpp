// Counts what happens in the running round (the rocks that hit the ship, the rings touched
// out of order) and, as it finishes, writes it into the round history with the medal it
// earned. The player's rounds only: attract mode is not heard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "game/race/Medals.hpp"
#include "game/race/RaceEvents.hpp"
#include "game/race/RoundHistory.hpp"

namespace kes {

class RoundTally final : public RaceObserver {
public:
    // `targets` answers the course's targets when a round ends (none: no medal).
    RoundTally(const Course& course, RoundHistory& history,
               std::function<const TargetTimes*()> targets);

    void onClockStarted(float time) override;
    void onWrongZone(const WrongZone& wrong) override;
    void onAsteroidHit(std::uint32_t asteroid, std::int32_t respawnZone) override;
    void onRoundFinished(const RoundResult& result) override;
    void onRestart() override;

    // The medal of the last round finished.
    Medal lastMedal() const { return m_lastMedal; }

private:
    std::string m_course;
    std::uint64_t m_hash;
    RoundHistory& m_history;
    std::function<const TargetTimes*()> m_targets;
    std::uint32_t m_rocks = 0;
    std::uint32_t m_wrongZones = 0;
    Medal m_lastMedal = Medal::none;
};

}  // namespace kes
