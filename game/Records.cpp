#include "game/Records.hpp"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iomanip>
#include <iterator>
#include <ostream>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include <INIReader.h>

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

// Writes, flushes to the disk and closes; false on any failure along the way.
bool writeDurably(const std::filesystem::path& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n <= 0) {
            ::close(fd);
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
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
    std::error_code error;
    if (!std::filesystem::exists(m_path, error)) {
        return std::nullopt;
    }
    std::ifstream file(m_path, std::ios::binary);
    std::string problem = "cannot be read";
    if (file && !std::filesystem::is_directory(m_path, error)) {
        const std::string text{std::istreambuf_iterator<char>(file),
                               std::istreambuf_iterator<char>()};
        if (auto record = parseRecord(text, m_splitCount, problem)) {
            return record;
        }
    }
    std::filesystem::path aside = m_path;
    aside += ".bad";
    std::filesystem::rename(m_path, aside, error);
    m_brokenFileInPlace = static_cast<bool>(error);
    console << "The records file " << m_path.string() << " " << problem << "; "
            << (error ? "it is left as it is" : "moved aside as " + aside.string())
            << " and the game starts without records" << std::endl;
    return std::nullopt;
}

bool RecordsFile::save(const RaceRecord& record, std::ostream& console) const {
    if (m_brokenFileInPlace) {
        console << "The records file " << m_path.string()
                << " could not be moved aside; the new record is not written over it" << std::endl;
        return false;
    }
    std::filesystem::path temporary = m_path;
    temporary += ".tmp";
    std::error_code error;
    if (!writeDurably(temporary, formatRecord(record))) {
        std::filesystem::remove(temporary, error);
        console << "Couldn't write the records file " << m_path.string() << std::endl;
        return false;
    }
    std::filesystem::rename(temporary, m_path, error);
    if (error) {
        std::filesystem::remove(temporary, error);
        console << "Couldn't write the records file " << m_path.string() << std::endl;
        return false;
    }
    return true;
}

}  // namespace kes
