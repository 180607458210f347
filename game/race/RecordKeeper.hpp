// Keeps the player's record across runs: loads it at start as the race's reference round, and
// writes a round that beats it at once. Only the game keeps records; a demo never does.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "game/race/RaceEvents.hpp"
#include "game/race/RaceState.hpp"
#include "game/race/Records.hpp"

namespace kes {

class RecordKeeper final : public RaceObserver {
public:
    // Reads the records file in `folder` (its problems go to `console`; a skipped section of
    // the course only when `saySkipped`) and hands the record of the course `key`, when it
    // fits `fit`, to `race` as the round to compare splits with.
    RecordKeeper(const std::filesystem::path& folder, RaceState& race, std::ostream& console,
                 CourseKey key, RecordFit fit, bool saySkipped = true);
    // The first course's records, held to its count of zones only.
    RecordKeeper(const std::filesystem::path& folder, RaceState& race, std::ostream& console);

    void onRoundFinished(const RoundResult& result) override;

    // The course's record: as the file had it, or as this run wrote it.
    const std::optional<RaceRecord>& record() const { return m_record; }
    // Whether the round of `result` is the course's record as the file holds it after the
    // round's save: not when the file could not be written or kept a faster one.
    bool isStoredRecord(const RoundResult& result) const;

private:
    RecordsFile m_file;
    RaceState& m_race;
    std::ostream& m_console;
    std::optional<RaceRecord> m_record;
};

}  // namespace kes
