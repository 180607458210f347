#include "game/level/RoundTally.hpp"

#include "game/ghost/Ghost.hpp"

namespace kes {

RoundTally::RoundTally(const Course& course, RoundHistory& history,
                       std::function<const TargetTimes*()> targets)
    : m_course(course.name),
      m_hash(courseHash(course)),
      m_history(history),
      m_targets(std::move(targets)) {}

void RoundTally::onClockStarted(float /*time*/) {
    m_rocks = 0;
    m_wrongZones = 0;
}

void RoundTally::onWrongZone(const WrongZone& /*wrong*/) {
    ++m_wrongZones;
}

void RoundTally::onAsteroidHit(std::uint32_t /*asteroid*/, std::int32_t /*respawnZone*/) {
    ++m_rocks;
}

// The next round starts as this one ends: its counts start from nothing.
void RoundTally::onRoundFinished(const RoundResult& result) {
    const TargetTimes* targets = m_targets();
    m_lastMedal = targets != nullptr ? medalFor(result.time, *targets) : Medal::none;
    m_history.append({utcNow(), m_course, m_hash, result.time, result.splits, m_lastMedal, m_rocks,
                      m_wrongZones, gameVersion()});
    m_rocks = 0;
    m_wrongZones = 0;
}

void RoundTally::onRestart() {
    m_rocks = 0;
    m_wrongZones = 0;
}

}  // namespace kes
