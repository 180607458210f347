#include "game/Records.hpp"

#include <cmath>
#include <iomanip>
#include <ostream>
#include <sstream>

#include <INIReader.h>

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

}  // namespace

std::string formatRecord(const RaceRecord& record) {
    std::ostringstream text;
    text.imbue(std::locale::classic());
    text << std::fixed << std::setprecision(3);
    text << "; Driftline Prime: the best round and its split at each zone, in seconds.\n";
    text << "[" << kSection << "]\n";
    text << "BestTime = " << record.bestTime << "\n";
    text << "Splits =";
    for (const float split : record.splits) {
        text << " " << split;
    }
    text << "\n";
    return text.str();
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

RecordsFile::RecordsFile(std::filesystem::path folder, std::size_t splitCount)
    : m_path(std::move(folder) / kFileName), m_splitCount(splitCount) {}

std::optional<RaceRecord> RecordsFile::load(std::ostream& console) {
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
            if (auto record = parseRecord(file.bytes, m_splitCount, problem)) {
                return record;
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

bool RecordsFile::save(const RaceRecord& record, std::ostream& console) const {
    if (m_blocked) {
        console << "The records file " << m_path.string()
                << " could not be read at start; the new record is not written over it"
                << std::endl;
        return false;
    }
    if (const auto problem = writeFileAtomically(m_path, formatRecord(record))) {
        console << "Couldn't write the records file " << m_path.string() << " (" << *problem << ")"
                << std::endl;
        return false;
    }
    return true;
}

}  // namespace kes
