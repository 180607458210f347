#include "game/Records.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include <INIReader.h>
#include <ini.h>

#include "platform/Files.hpp"

namespace kes {
namespace {

constexpr const char* kSection = "Records";

bool isTime(float value) {
    return std::isfinite(value) && value > 0.0f;
}

// The splits as written: numbers separated by spaces; nothing when a word is not a number.
std::optional<std::vector<float>> parseSplits(const std::string& text) {
    std::istringstream words(text);
    words.imbue(std::locale::classic());
    std::vector<float> splits;
    std::string word;
    while (words >> word) {
        std::size_t used = 0;
        try {
            splits.push_back(std::stof(word, &used));
        } catch (const std::exception&) {
            return std::nullopt;
        }
        if (used != word.size()) {
            return std::nullopt;
        }
    }
    return splits;
}

std::string check(const RaceRecord& record, std::size_t splitCount) {
    if (!isTime(record.bestTime)) {
        return "no positive BestTime";
    }
    if (record.splits.size() != splitCount) {
        return std::to_string(record.splits.size()) + " splits instead of " +
               std::to_string(splitCount);
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
    return {};
}

void writeSection(std::ostream& text, const std::string& section, const RaceRecord& record) {
    text << "[" << section << "]\n";
    text << "BestTime = " << record.bestTime << "\n";
    text << "Splits =";
    for (const float split : record.splits) {
        text << " " << split;
    }
    text << "\n";
}

std::string formatRecords(const std::vector<KeptRecord>& records) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(3);
    text << "; Driftline Prime: the best round of each course and its split at each zone, in "
            "seconds.\n";
    for (std::size_t i = 0; i < records.size(); ++i) {
        text << (i > 0 ? "\n" : "");
        writeSection(text, records[i].section, records[i].record);
    }
    return text.str();
}

// Every section of a records file, in order, with its two keys as written.
struct RawSection {
    std::string name;
    std::string bestTime;
    std::string splits;
};

int collectSection(void* user, const char* section, const char* name, const char* value) {
    auto& sections = *static_cast<std::vector<RawSection>*>(user);
    if (sections.empty() || sections.back().name != section) {
        sections.push_back({section, "", ""});
    }
    const std::string key = name;
    if (key == "BestTime") {
        sections.back().bestTime = value;
    } else if (key == "Splits") {
        sections.back().splits = value;
    }
    return 1;
}

// The records of every course in `text`; nothing, with `problem`, when a section is broken.
std::optional<std::vector<KeptRecord>> parseRecords(const std::string& text, std::string& problem) {
    std::vector<RawSection> sections;
    const int error = ini_parse_string(text.c_str(), collectSection, &sections);
    if (error != 0) {
        problem = "cannot be parsed (line " + std::to_string(error) + ")";
        return std::nullopt;
    }
    std::vector<KeptRecord> records;
    for (const RawSection& section : sections) {
        if (section.name.rfind(kSection, 0) != 0) {
            continue;  // not a record: nothing of ours
        }
        RaceRecord record;
        std::size_t used = 0;
        try {
            record.bestTime = std::stof(section.bestTime, &used);
        } catch (const std::exception&) {
            record.bestTime = -1.0f;
        }
        const auto splits = parseSplits(section.splits);
        if (!splits) {
            problem = "has splits that are not numbers in [" + section.name + "]";
            return std::nullopt;
        }
        record.splits = *splits;
        const std::string wrong =
            record.splits.empty() ? "no splits" : check(record, record.splits.size());
        if (!wrong.empty()) {
            problem = "has " + wrong + " in [" + section.name + "]";
            return std::nullopt;
        }
        records.push_back({section.name, std::move(record)});
    }
    return records;
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

std::string formatRecord(const RaceRecord& record) {
    return formatRecords({{kSection, record}});
}

std::optional<RaceRecord> parseRecord(const std::string& text, std::size_t splitCount,
                                      std::string& problem) {
    const INIReader reader(text.data(), text.size());
    if (reader.ParseError() != 0) {
        problem = "cannot be parsed (line " + std::to_string(reader.ParseError()) + ")";
        return std::nullopt;
    }
    RaceRecord record;
    record.bestTime = static_cast<float>(reader.GetReal(kSection, "BestTime", -1.0));
    const auto splits = parseSplits(reader.Get(kSection, "Splits", ""));
    if (!splits) {
        problem = "has splits that are not numbers";
        return std::nullopt;
    }
    record.splits = *splits;
    problem = check(record, splitCount);
    if (!problem.empty()) {
        problem = "has " + problem;
        return std::nullopt;
    }
    return record;
}

RecordsFile::RecordsFile(std::filesystem::path folder, std::size_t splitCount, CourseKey key)
    : m_path(std::move(folder) / kFileName), m_splitCount(splitCount), m_key(std::move(key)) {}

std::optional<RaceRecord> RecordsFile::load(std::ostream& console) {
    m_kept.clear();
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
        case ReadStatus::ok:
            if (auto records = parseRecords(file.bytes, problem)) {
                const std::string section = recordSection(m_key);
                const auto mine =
                    std::find_if(records->begin(), records->end(),
                                 [&](const KeptRecord& kept) { return kept.section == section; });
                if (mine == records->end()) {
                    m_kept = std::move(*records);
                    return std::nullopt;
                }
                if (mine->record.splits.size() == m_splitCount) {
                    RaceRecord record = mine->record;
                    m_kept = std::move(*records);
                    return record;
                }
                problem = "has " + std::to_string(mine->record.splits.size()) +
                          " splits instead of " + std::to_string(m_splitCount) + " in [" + section +
                          "]";
            }
            break;
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

bool RecordsFile::save(const RaceRecord& record, std::ostream& console) {
    if (m_blocked) {
        console << "The records file " << m_path.string()
                << " could not be read at start; the new record is not written over it"
                << std::endl;
        return false;
    }
    // The file as it is now: another copy of the game running at the same time may have
    // written records since this one read it. Its records are kept, and its record of this
    // course too when that one is faster.
    const FileRead now = readRegularFile(m_path);
    if (now.status == ReadStatus::ok) {
        std::string problem;
        if (auto records = parseRecords(now.bytes, problem)) {
            m_kept = std::move(*records);
        }
    }
    const std::string section = recordSection(m_key);
    const auto mine = std::find_if(m_kept.begin(), m_kept.end(),
                                   [&](const KeptRecord& kept) { return kept.section == section; });
    if (mine == m_kept.end()) {
        m_kept.push_back({section, record});
    } else if (record.bestTime < mine->record.bestTime ||
               mine->record.splits.size() != m_splitCount) {
        mine->record = record;
    } else {
        return true;  // a faster record is already there
    }
    if (const auto problem = writeFileAtomically(m_path, formatRecords(m_kept))) {
        console << "Couldn't write the records file " << m_path.string() << " (" << *problem << ")"
                << std::endl;
        return false;
    }
    return true;
}

}  // namespace kes
