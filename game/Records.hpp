// The player's record kept across runs: the best round's time and its split at each zone, in
// "records.ini" beside the settings file. Written only when a record improves, and always
// whole (see writeFileAtomically), so a crash or a full disk leaves the old record or the new
// one, never half of one. A file whose contents are not a record is reported, moved aside as
// "records.ini.bad" (or .bad.1, .bad.2, ... when that name is taken; never deleted) and the game
// goes on without one. A file that cannot be opened at all is reported and left alone, and no
// record is written over it that run.
#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace kes {

struct RaceRecord {
    float bestTime = 0.0f;      // seconds
    std::vector<float> splits;  // seconds since the round's start at each zone, the finish last
};

// The text of a records file; the inverse of parseRecord.
std::string formatRecord(const RaceRecord& record);

// Nothing, and `problem` set, when the text is not a record of `splitCount` splits: a parse
// error, no best time, splits that are not positive, rising and ending at the best time.
std::optional<RaceRecord> parseRecord(const std::string& text, std::size_t splitCount,
                                      std::string& problem);

class RecordsFile {
public:
    static constexpr const char* kFileName = "records.ini";

    RecordsFile(std::filesystem::path folder, std::size_t splitCount);

    // The record in the file; nothing for a missing file. A broken or unreadable one is
    // reported in one line on `console`.
    std::optional<RaceRecord> load(std::ostream& console);
    // Writes the record atomically; false, with one line on `console`, when it cannot or when
    // the file found at start could not be read or moved aside (it is never written over).
    bool save(const RaceRecord& record, std::ostream& console) const;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::size_t m_splitCount;
    bool m_blocked = false;  // a file that could not be read or moved aside stays untouched
};

}  // namespace kes
