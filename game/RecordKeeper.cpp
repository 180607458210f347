#include "game/RecordKeeper.hpp"

namespace kes {

RecordKeeper::RecordKeeper(const std::filesystem::path& folder, RaceState& race,
                           std::ostream& console, CourseKey key)
    : m_file(folder, static_cast<std::size_t>(race.targetZoneCount), std::move(key)),
      m_console(console),
      m_record(m_file.load(console)) {
    if (m_record) {
        race.setReference(m_record->bestTime, m_record->splits);
    }
}

void RecordKeeper::onRoundFinished(const RoundResult& result) {
    if (!result.newRecord) {
        return;
    }
    m_record = RaceRecord{result.time, result.splits};
    m_file.save(*m_record, m_console);
}

}  // namespace kes
