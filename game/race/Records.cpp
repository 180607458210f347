#include "game/race/Records.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>
#include <sstream>

#include <ini.h>

#include "platform/Files.hpp"

namespace kes {
namespace {

constexpr const char* kSection = "Records";

bool isTime(float value) {
    return std::isfinite(value) && value > 0.0f;
}

// A number written whole: "57.467" is one, "57.467 seconds" and "" are none.
std::optional<float> wholeNumber(std::string_view text) {
    float value = 0.0f;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// The splits as written: numbers separated by spaces; nothing when a word is not a number.
std::optional<std::vector<float>> parseSplits(const std::string& text) {
    std::vector<float> splits;
    std::size_t at = 0;
    while ((at = text.find_first_not_of(" \t", at)) != std::string::npos) {
        const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
        const auto split = wholeNumber(std::string_view(text).substr(at, end - at));
        if (!split) {
            return std::nullopt;
        }
        splits.push_back(*split);
        at = end;
    }
    return splits;
}

std::string threeDecimals(float value) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text.setf(std::ios::fixed);
    text.precision(3);
    text << value;
    return text.str();
}

void writeSection(std::ostream& text, const KeptRecord& kept) {
    text << "[" << kept.section << "]\n";
    if (!kept.record) {
        // As the file had it, so that another version of the course still finds it.
        if (!kept.bestTimeText.empty()) {
            text << "BestTime = " << kept.bestTimeText << "\n";
        }
        if (!kept.splitsText.empty()) {
            text << "Splits = " << kept.splitsText << "\n";
        }
        return;
    }
    text << "BestTime = " << recordNumber(kept.record->bestTime) << "\n";
    text << "Splits =";
    for (const float split : kept.record->splits) {
        text << " " << recordNumber(split);
    }
    text << "\n";
}

std::string formatRecords(const std::vector<KeptRecord>& records) {
    std::ostringstream text;
    text << "; Driftline Prime: the best round of each course and its split at each zone, in "
            "seconds.\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        text << (i > 0 ? "\n" : "");
        writeSection(text, records[i]);
    }
    return text.str();
}

int collectSection(void* user, const char* section, const char* name, const char* value) {
    auto& sections = *static_cast<std::vector<KeptRecord>*>(user);
    if (sections.empty() || sections.back().section != section) {
        sections.push_back({section, std::nullopt, {}, {}, {}});
    }
    const std::string key = name;
    if (key == "BestTime") {
        sections.back().bestTimeText = value;
    } else if (key == "Splits") {
        sections.back().splitsText = value;
    }
    return 1;
}

// The section's values as a record, or why they are none; whether the record fits a course
// is for misfit to say.
void readValues(KeptRecord& kept) {
    const auto splits = parseSplits(kept.splitsText);
    if (!splits) {
        kept.problem = "has splits that are not numbers";
        return;
    }
    const RaceRecord record{wholeNumber(kept.bestTimeText).value_or(-1.0f), *splits};
    if (!isTime(record.bestTime)) {
        kept.problem = "has no positive BestTime";
        return;
    }
    if (record.splits.empty()) {
        kept.problem = "has no splits";
        return;
    }
    kept.record = record;
}

std::vector<KeptRecord>::iterator sectionOf(std::vector<KeptRecord>& sections,
                                            const std::string& name) {
    return std::find_if(sections.begin(), sections.end(),
                        [&](const KeptRecord& kept) { return kept.section == name; });
}

}  // namespace

CourseKey keyOf(const Course& course) {
    return {course.name, courseHash(course)};
}

CourseKey firstCourseKey() {
    return keyOf(firstCourse());
}

std::string recordSection(const CourseKey& key) {
    if (key == firstCourseKey()) {
        return kSection;
    }
    return std::string(kSection) + " " + key.name + " " + hashText(key.hash);
}

std::string misfit(const RaceRecord& record, const RecordFit& fit) {
    if (!isTime(record.bestTime)) {
        return "no positive BestTime";
    }
    if (record.splits.size() != fit.splitCount) {
        return std::to_string(record.splits.size()) + " splits instead of " +
               std::to_string(fit.splitCount);
    }
    float previous = 0.0f;
    for (const float split : record.splits) {
        if (!isTime(split) || split < previous) {
            return "splits that do not rise";
        }
        previous = split;
    }
    if (std::fabs(record.splits.back() - record.bestTime) > 0.001f) {
        return "a last split other than BestTime";
    }
    // The round's time first: a whole round claimed too fast says so, not its first split.
    const std::size_t count = std::min(record.splits.size(), fit.fastestSplits.size());
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t i = (k + count - 1) % count;
        if (record.splits[i] < fit.fastestSplits[i]) {
            const bool finish = i + 1 == record.splits.size();
            return (finish ? "a time of " : "a split of ") + threeDecimals(record.splits[i]) +
                   " s" + (finish ? "" : " at zone " + std::to_string(i + 1)) +
                   ", faster than the course can be flown (at least " +
                   threeDecimals(fit.fastestSplits[i]) + " s)";
        }
    }
    return {};
}

std::string recordNumber(float value) {
    char text[32];
    const auto [end, error] = std::to_chars(std::begin(text), std::end(text), value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

std::string formatRecord(const RaceRecord& record) {
    return formatRecords({{kSection, record, {}, {}, {}}});
}

RecordsRead parseRecords(const std::string& text) {
    // The parser would stop at a NUL and read a broken file as an empty one.
    if (text.find('\0') != std::string::npos) {
        return {std::nullopt, "is not a text file"};
    }
    std::vector<KeptRecord> sections;
    const int error = ini_parse_string(text.c_str(), collectSection, &sections);
    if (error != 0) {
        return {std::nullopt, "cannot be parsed (line " + std::to_string(error) + ")"};
    }
    std::erase_if(sections, [](const KeptRecord& kept) {
        return kept.section.rfind(kSection, 0) != 0;  // not a record: nothing of ours
    });
    for (KeptRecord& kept : sections) {
        readValues(kept);
    }
    return {std::move(sections), {}};
}

std::optional<RaceRecord> parseRecord(const std::string& text, std::size_t splitCount,
                                      std::string& problem) {
    RecordsRead read = parseRecords(text);
    if (!read.sections) {
        problem = read.problem;
        return std::nullopt;
    }
    const auto mine = sectionOf(*read.sections, kSection);
    if (mine == read.sections->end()) {
        problem = "has no positive BestTime";
        return std::nullopt;
    }
    if (!mine->record) {
        problem = mine->problem;
        return std::nullopt;
    }
    problem = misfit(*mine->record, {splitCount, {}});
    if (!problem.empty()) {
        problem = "has " + problem;
        return std::nullopt;
    }
    return mine->record;
}

std::optional<RaceRecord> recordOf(const std::vector<KeptRecord>& sections, const CourseKey& key,
                                   const RecordFit& fit, std::string& problem) {
    const std::string name = recordSection(key);
    const auto mine = std::find_if(sections.begin(), sections.end(),
                                   [&](const KeptRecord& kept) { return kept.section == name; });
    if (mine == sections.end()) {
        return std::nullopt;
    }
    if (!mine->record) {
        problem = mine->problem;
        return std::nullopt;
    }
    if (const std::string wrong = misfit(*mine->record, fit); !wrong.empty()) {
        problem = "has " + wrong;
        return std::nullopt;
    }
    return mine->record;
}

std::vector<KeptRecord> peekRecords(const std::filesystem::path& folder) {
    const FileRead file = readRegularFile(folder / RecordsFile::kFileName);
    if (file.status != ReadStatus::ok) {
        return {};
    }
    return parseRecords(file.bytes).sections.value_or(std::vector<KeptRecord>{});
}

std::string skippedSectionLine(const std::filesystem::path& file, const std::string& section,
                               const std::string& problem) {
    return "The records file " + file.string() + " " + problem + " in [" + section +
           "]; that record is skipped and kept in the file as it is";
}

RecordsFile::RecordsFile(std::filesystem::path folder, RecordFit fit, CourseKey key)
    : m_path(std::move(folder) / kFileName), m_fit(std::move(fit)), m_key(std::move(key)) {}

std::optional<RaceRecord> RecordsFile::load(std::ostream& console, bool saySkipped) {
    m_kept.clear();
    m_stored.reset();
    const FileRead file = readRegularFile(m_path);
    std::string problem = file.problem;
    switch (file.status) {
        case ReadStatus::missing: return std::nullopt;
        case ReadStatus::unreadable:
        case ReadStatus::notRegular:
            // Not a broken record but a file the game cannot get at: moving it aside would let
            // the next slow round become the record.
            m_blocked = true;
            console << "The records file " << m_path.string() << " " << problem
                    << "; records are not kept this run" << std::endl;
            return std::nullopt;
        case ReadStatus::ok: {
            RecordsRead read = parseRecords(file.bytes);
            if (read.sections) {
                m_kept = std::move(*read.sections);
                std::string skipped;
                m_stored = recordOf(m_kept, m_key, m_fit, skipped);
                if (!skipped.empty() && saySkipped) {
                    console << skippedSectionLine(m_path, recordSection(m_key), skipped)
                            << std::endl;
                }
                return m_stored;
            }
            problem = read.problem;
            break;
        }
        case ReadStatus::tooLarge: break;
    }
    std::string moveProblem;
    const auto aside = moveAside(m_path, moveProblem);
    m_blocked = !aside;
    console << "The records file " << m_path.string() << " " << problem << "; "
            << (aside ? "moved aside as " + aside->string()
                      : "it is left as it is (" + moveProblem + ")")
            << " and the game starts without records" << std::endl;
    return std::nullopt;
}

RecordsFile::Saved RecordsFile::save(const RaceRecord& record, std::ostream& console) {
    const auto notWritten = [&](const std::string& why) {
        console << "Couldn't write the records file " << m_path.string() << " (" << why << ")"
                << std::endl;
        return Saved::notWritten;
    };
    if (m_blocked) {
        console << "The records file " << m_path.string()
                << " could not be read at start; the new record is not written over it"
                << std::endl;
        return Saved::notWritten;
    }
    std::string problem;
    const auto lock = FileLock::take(m_path.parent_path() / kLockName, problem);
    if (!lock) {
        return notWritten(problem);
    }
    // The file as it is now: another copy of the game running at the same time may have
    // written records since this one read it. Its records are kept, and its record of this
    // course too when that one is faster.
    const FileRead now = readRegularFile(m_path);
    if (now.status == ReadStatus::ok) {
        if (auto read = parseRecords(now.bytes); read.sections) {
            m_kept = std::move(*read.sections);
        }
    }
    const std::string section = recordSection(m_key);
    std::string skipped;
    const auto onFile = recordOf(m_kept, m_key, m_fit, skipped);
    if (onFile && onFile->bestTime <= record.bestTime) {
        m_stored = onFile;
        return Saved::fasterKept;
    }
    const KeptRecord mine{section, record, {}, {}, {}};
    if (const auto found = sectionOf(m_kept, section); found != m_kept.end()) {
        *found = mine;
    } else {
        m_kept.push_back(mine);
    }
    const FileWrite write = writeFileAtomically(m_path, formatRecords(m_kept));
    if (!write.written()) {
        return notWritten(*write.problem);
    }
    if (write.unflushed) {
        console << "Wrote the records file " << m_path.string()
                << ", but its folder could not be flushed (" << *write.unflushed
                << "); a power cut now could bring the old file back" << std::endl;
    }
    m_stored = record;
    return Saved::stored;
}

}  // namespace kes
