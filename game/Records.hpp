// The player's records kept across runs: for each course the best round's time and its split
// at each zone, in "records.ini" beside the settings file. A course's record is keyed by the
// course's name and the hash of its contents, so an edited course starts without the old
// record, and the records of courses that are gone are kept. The first course as shipped keeps
// the section the file always had, [Records]; every other course has [Records NAME HASH].
// Written only when a record improves, and always whole (see writeFileAtomically), so a crash
// or a full disk leaves the old records or the new ones, never half of them. A file whose
// contents are not records is reported, moved aside as "records.ini.bad" (or .bad.1, .bad.2,
// ... when that name is taken; never deleted) and the game goes on without. A file that cannot
// be opened at all is reported and left alone, and no record is written over it that run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "game/Course.hpp"

namespace kes {

struct RaceRecord {
    float bestTime = 0.0f;      // seconds
    std::vector<float> splits;  // seconds since the round's start at each zone, the finish last
};

// Which course a record belongs to.
struct CourseKey {
    std::string name;
    std::uint64_t hash = 0;
    bool operator==(const CourseKey&) const = default;
};
CourseKey keyOf(const Course& course);
// The first course as the game ships it.
CourseKey firstCourseKey();
// "Records" for the first course as shipped, "Records NAME HASH" for any other.
std::string recordSection(const CourseKey& key);

// The text of a records file holding the first course's record only; the inverse of
// parseRecord.
std::string formatRecord(const RaceRecord& record);

// Nothing, and `problem` set, when the text is not a record of `splitCount` splits: a parse
// error, no best time, splits that are not positive, rising and ending at the best time.
std::optional<RaceRecord> parseRecord(const std::string& text, std::size_t splitCount,
                                      std::string& problem);

// One section of the file: whose record it is (the section's name) and the record.
struct KeptRecord {
    std::string section;
    RaceRecord record;
};

class RecordsFile {
public:
    static constexpr const char* kFileName = "records.ini";

    // The records of `folder`, for the course `key` of `splitCount` zones.
    RecordsFile(std::filesystem::path folder, std::size_t splitCount,
                CourseKey key = firstCourseKey());

    // The course's record in the file; nothing for a missing file or a course without one. A
    // broken or unreadable file is reported in one line on `console`.
    std::optional<RaceRecord> load(std::ostream& console);
    // Writes the course's record atomically, with every other course's record as it was;
    // false, with one line on `console`, when it cannot or when the file found at start could
    // not be read or moved aside (it is never written over).
    bool save(const RaceRecord& record, std::ostream& console);

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    std::size_t m_splitCount;
    CourseKey m_key;
    std::vector<KeptRecord> m_kept;  // every course's record, as last read or written
    bool m_blocked = false;          // a file that could not be read or moved aside stays untouched
};

}  // namespace kes
