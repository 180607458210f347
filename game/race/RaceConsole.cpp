#include "game/race/RaceConsole.hpp"

#include <iomanip>
#include <ostream>
#include <sstream>

#include "game/race/RaceState.hpp"

namespace kes {

void RaceConsole::onZoneTouched(std::uint32_t zone) {
    m_out << ">>>> TargetZone with idx " << static_cast<std::int32_t>(zone) << " touched "
          << std::endl;
}

void RaceConsole::onClockStarted(float time) {
    m_out << "New start time " << time << std::endl;
}

void RaceConsole::onZoneAccepted(std::uint32_t zone, std::uint32_t checkCount) {
    m_out << "Checked targetzone with idx " << static_cast<std::int32_t>(zone) << " (number "
          << checkCount << ")" << std::endl;
}

void RaceConsole::onRaceStarted() {
    m_out << "Checked the first targetzone!" << std::endl;
}

void RaceConsole::onWrongZone(const WrongZone& wrong) {
    const auto zone = static_cast<std::int32_t>(wrong.zone);
    switch (wrong.reason) {
        case WrongZoneReason::notZeroFirst:
            m_out << "the first reached target zone has to be the target zone with idx 0 but is "
                  << zone << std::endl;
            return;
        case WrongZoneReason::notNext:
            m_out << "Can't check the targetzone with idx " << zone
                  << " as the last checked targetzone was "
                  << static_cast<std::int32_t>(wrong.lastChecked) << std::endl;
            return;
        case WrongZoneReason::finishEarly:
            m_out << "The ship has to finish all " << wrong.zoneCount
                  << " target zones of the round before it can check the target zone with index "
                     "0 again!"
                  << std::endl;
            return;
    }
}

std::string RaceConsole::finishedRoundLine(const RoundResult& result) {
    std::ostringstream line;
    line << "Finished round " << result.round << " in " << result.time << " seconds.";
    return line.str();
}

void RaceConsole::onRoundFinished(const RoundResult& result) {
    m_out << finishedRoundLine(result) << std::endl;
}

void RaceConsole::onNewBestTime(float /*time*/) {
    m_out << kNewBestTimeLine << std::endl;
}

void RaceConsole::onSplit(const Split& split) {
    std::ostringstream line;
    line << std::fixed << std::setprecision(3) << "Split at targetzone " << split.zone << ": "
         << split.time << " seconds";
    if (split.delta) {
        line << " (" << std::showpos << *split.delta << " against the best round)";
    }
    m_out << line.str() << std::endl;
}

void RaceConsole::onAsteroidHit(std::uint32_t asteroid, std::int32_t respawnZone) {
    m_out << ">>>> Asteroid with idx " << static_cast<std::int32_t>(asteroid) << " touched "
          << std::endl;
    m_out << "Respawning at targetZone " << respawnZone << std::endl;
}

void RaceConsole::onRestart() {
    m_out << "Race restarted" << std::endl;
}

}  // namespace kes
