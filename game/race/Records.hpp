// The player's records kept across runs: for each course the best round's time and its split
// at each zone, in "records.ini" beside the settings file. A course's record is keyed by the
// course's name and the hash of its contents, so an edited course starts without the old
// record, and the records of courses that are gone are kept. The first course as shipped keeps
// the section the file always had, [Records]; every other course has [Records NAME HASH].
//
// Written only when a record improves, always whole (see writeFileAtomically) and under a lock
// beside the file ("records.ini.lock"), so a crash or a full disk leaves the old records or the
// new ones, and two running copies of the game take turns: each keeps what the other wrote.
// Each value is read whole ("57.467 seconds" is no time) and written so that it reads back as
// the same number.
//
// A section is one course's business: one whose values are not a record, or that does not fit
// its course (another count of splits, a time faster than the course can be flown), is skipped
// with one line when that course is raced and kept in the file as it stands, and every other
// record stays. Only a file that is no records file at all (not INI, over 1 MiB) is reported,
// moved aside as "records.ini.bad" (or .bad.1, .bad.2, ... when that name is taken; never
// deleted) and the game goes on without. A file that cannot be opened at all is reported and
// left alone, and no record is written over it that run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "game/course/Course.hpp"

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

// What a record of one course must be: a split for each zone, and no split sooner than the
// course can be flown (see fastestSplits; empty: no bound).
struct RecordFit {
    std::size_t splitCount = 0;
    std::vector<float> fastestSplits;
};
// Why `record` cannot be a record of a course of `fit`, or empty when it can: no positive
// BestTime, another count of splits, splits that do not rise or do not end at BestTime, or a
// split sooner than the course allows.
std::string misfit(const RaceRecord& record, const RecordFit& fit);

// A number as a records file writes it: the shortest text that reads back as the same float.
std::string recordNumber(float value);

// The text of a records file holding the first course's record only; the inverse of
// parseRecord.
std::string formatRecord(const RaceRecord& record);

// Nothing, and `problem` set, when the text is not a record of `splitCount` splits: a parse
// error, no best time, splits that are not positive, rising and ending at the best time.
std::optional<RaceRecord> parseRecord(const std::string& text, std::size_t splitCount,
                                      std::string& problem);

// One section of the file: whose record it is (the section's name) and the record, or why its
// values are none, with the values as written so that it goes back into the file untouched.
struct KeptRecord {
    std::string section;
    std::optional<RaceRecord> record;
    std::string problem;  // why `record` is none: "has splits that are not numbers"
    std::string bestTimeText;
    std::string splitsText;
};

// What a records file holds: every section, or why the file is no records file.
struct RecordsRead {
    std::optional<std::vector<KeptRecord>> sections;
    std::string problem;
};
RecordsRead parseRecords(const std::string& text);

// The record of `key` among `sections` when it fits `fit`; nothing for a course without one,
// and nothing with `problem` set for a section that is not a record of that course.
std::optional<RaceRecord> recordOf(const std::vector<KeptRecord>& sections, const CourseKey& key,
                                   const RecordFit& fit, std::string& problem);

// Every section of the records file in `folder` as it stands, read without a word and without
// changing anything; none for a missing, unreadable or broken file.
std::vector<KeptRecord> peekRecords(const std::filesystem::path& folder);

// The line said of a course's section that is skipped.
std::string skippedSectionLine(const std::filesystem::path& file, const std::string& section,
                               const std::string& problem);

class RecordsFile {
public:
    static constexpr const char* kFileName = "records.ini";
    static constexpr const char* kLockName = "records.ini.lock";

    enum class Saved : std::uint8_t {
        stored,      // the record is in the file
        fasterKept,  // the file already had a faster record of the course (another copy's)
        notWritten,  // said in one line
    };

    // The records of `folder`, for the course `key` whose records must fit `fit`.
    RecordsFile(std::filesystem::path folder, RecordFit fit, CourseKey key = firstCourseKey());
    RecordsFile(std::filesystem::path folder, std::size_t splitCount,
                CourseKey key = firstCourseKey())
        : RecordsFile(std::move(folder), RecordFit{splitCount, {}}, std::move(key)) {}

    // The course's record in the file; nothing for a missing file or a course without one. A
    // broken or unreadable file, or a section of this course that is skipped (unless it was
    // said before: `saySkipped` false), is reported in one line on `console`.
    std::optional<RaceRecord> load(std::ostream& console, bool saySkipped = true);
    // Writes the course's record atomically under the lock, with every other section as the
    // file has it now; notWritten, with one line on `console`, when it cannot or when the file
    // found at start could not be read or moved aside (it is never written over).
    Saved save(const RaceRecord& record, std::ostream& console);
    // The course's record in the file as it stood after the last save or load.
    const std::optional<RaceRecord>& stored() const { return m_stored; }

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
    RecordFit m_fit;
    CourseKey m_key;
    std::vector<KeptRecord> m_kept;  // every section, as last read or written
    std::optional<RaceRecord> m_stored;
    bool m_blocked = false;  // a file that could not be read or moved aside stays untouched
};

}  // namespace kes
