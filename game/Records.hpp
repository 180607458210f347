// The player's record kept across runs: the best round's time and its split at each zone, in
// "records.ini" beside the settings file. Written only when a record improves, and always
// whole: a temporary file in the same folder, then a rename, so a crash or a full disk leaves
// the old record or the new one, never half of one. A file that cannot be read as a record is
// reported, moved aside as "records.ini.bad" (never deleted) and the game goes on without one.
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

    // The record in the file; nothing for a missing file. A broken one is reported in one line
    // on `console` and moved aside.
    std::optional<RaceRecord> load(std::ostream& console);
    // Writes the record atomically; false, with one line on `console`, when it cannot or when
    // a broken file could not be moved aside (it is never written over).
    bool save(const RaceRecord& record, std::ostream& console) const;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::size_t m_splitCount;
    bool m_brokenFileInPlace = false;
};

}  // namespace kes
