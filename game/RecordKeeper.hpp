// Keeps the player's record across runs: loads it at start as the race's reference round, and
// writes a round that beats it at once. Only the game keeps records; a demo never does.
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "game/RaceEvents.hpp"
#include "game/RaceState.hpp"
#include "game/Records.hpp"

namespace kes {

class RecordKeeper final : public RaceObserver {
public:
    // Reads the records file in `folder` (its problems go to `console`) and hands the record
    // of the course `key` to `race` as the round to compare splits with.
    RecordKeeper(const std::filesystem::path& folder, RaceState& race, std::ostream& console,
                 CourseKey key = firstCourseKey());

    void onRoundFinished(const RoundResult& result) override;

    const std::optional<RaceRecord>& record() const { return m_record; }

private:
    RecordsFile m_file;
    std::ostream& m_console;
    std::optional<RaceRecord> m_record;
};

}  // namespace kes
