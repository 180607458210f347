// Keeps the course's ghost across runs: reads "<course>.ghost" beside the records at start (a
// broken one, or one of another course or another version of it, is reported in one line and
// moved aside as records are), and writes the ghost of a round that beats the record, whole or
// not at all. It also keeps this run's best round and its last, for the ghost settings "best"
// and "last".
#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>

#include "app/Settings.hpp"
#include "game/course/Course.hpp"
#include "game/ghost/Ghost.hpp"
#include "game/race/RaceEvents.hpp"
#include "game/race/RecordKeeper.hpp"

namespace kes {

// The ghost file's name for a course: its name with ":" as ".", then ".ghost" ("seed.3.ghost");
// no course read from a file has a "." or a ":" in its name, so no two courses share one.
std::filesystem::path ghostFileName(const std::string& courseName);
// The name a seeded course's ghost had before, with ":" as "-" ("seed-3.ghost"), which a
// player's course named "seed-3" shared: still read, and renamed to the course's own.
std::filesystem::path formerGhostFileName(const std::string& courseName);

class GhostKeeper {
public:
    // The largest ghost file read: an hour of flight is about 3 MiB.
    static constexpr std::uintmax_t kMaxBytes = 8 * 1024 * 1024;

    // An empty `folder` keeps nothing on disk (the demo): only this run's rounds.
    GhostKeeper(const std::filesystem::path& folder, const Course& course, std::ostream& console);

    // A round finished: its ghost becomes this run's best when `newBest`, and the record's,
    // written to the file, when `isRecord`.
    void roundFinished(const Ghost& ghost, bool newBest, bool isRecord);
    // The same for the round of `result`, which is the record's when `records` (the keeper of
    // the records, none where records are not kept) holds it as the course's record after its
    // save: a round that could not be saved or that another running copy beat never replaces
    // the ghost. Without records kept, the run's own record is.
    void roundFinished(const Ghost& ghost, const RoundResult& result, const RecordKeeper* records);

    // The ghost the setting asks for, or none (the prime round is not the keeper's).
    const Ghost* shown(GhostSetting setting) const;
    const std::optional<Ghost>& record() const { return m_record; }
    const std::filesystem::path& path() const { return m_path; }

private:
    void adoptFormerFile(const Course& course);
    bool handOnSeedsGhost(const std::string& bytes);

    std::filesystem::path m_path;
    std::ostream& m_console;
    std::optional<Ghost> m_record;
    std::optional<Ghost> m_best;
    std::optional<Ghost> m_last;
    bool m_blocked = false;  // a file that could not be read or moved aside stays untouched
};

}  // namespace kes
