#include "game/race/RecordKeeper.hpp"

namespace kes {

RecordKeeper::RecordKeeper(const std::filesystem::path& folder, RaceState& race,
                           std::ostream& console, CourseKey key, RecordFit fit, bool saySkipped)
    : m_file(folder, std::move(fit), std::move(key)),
      m_race(race),
      m_console(console),
      m_record(m_file.load(console, saySkipped)) {
    if (m_record) {
        race.setReference(m_record->bestTime, m_record->splits);
    }
}

RecordKeeper::RecordKeeper(const std::filesystem::path& folder, RaceState& race,
                           std::ostream& console)
    : RecordKeeper(folder, race, console, firstCourseKey(),
                   RecordFit{static_cast<std::size_t>(race.targetZoneCount), {}}) {}

void RecordKeeper::onRoundFinished(const RoundResult& result) {
    if (!result.newRecord) {
        return;
    }
    m_record = RaceRecord{result.time, result.splits};
    if (m_file.save(*m_record, m_console) == RecordsFile::Saved::fasterKept) {
        // Another running copy kept a faster one: that is the round to beat from now on.
        m_record = m_file.stored();
        m_race.setReference(m_record->bestTime, m_record->splits);
    }
}

bool RecordKeeper::isStoredRecord(const RoundResult& result) const {
    const auto& stored = m_file.stored();
    return stored && stored->bestTime == result.time && stored->splits == result.splits;
}

}  // namespace kes
