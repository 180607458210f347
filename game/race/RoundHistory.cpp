#include "game/race/RoundHistory.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ctime>
#include <fstream>
#include <ostream>
#include <sstream>

#include "game/race/FigureText.hpp"
#include "platform/Files.hpp"

namespace kes {
namespace {

constexpr std::uintmax_t kMostBytes = 4 * 1024 * 1024;
constexpr std::size_t kFields = 9;
constexpr std::size_t kMostSplits = 64;

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string::size_type from = 0;
    while (true) {
        const auto at = text.find(separator, from);
        parts.push_back(text.substr(from, at - from));
        if (at == std::string::npos) {
            return parts;
        }
        from = at + 1;
    }
}

bool readSeconds(const std::string& text, float& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size() &&
           std::isfinite(value) && value > 0.0f;
}

bool readCount(const std::string& text, std::uint32_t& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

// Letters, digits and the few signs a course name, a version and a time use: no commas, no
// quotes, nothing a spreadsheet would take for a formula.
bool plainWord(const std::string& text) {
    return !text.empty() && text.size() <= 64 && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' ||
               c == '.';
    });
}

std::optional<Medal> medalFromWord(const std::string& word) {
    for (const Medal medal :
         {Medal::none, Medal::bronze, Medal::silver, Medal::gold, Medal::prime}) {
        if (word == medalName(medal)) {
            return medal;
        }
    }
    return std::nullopt;
}

}  // namespace

std::string historyLine(const HistoryEntry& entry) {
    std::string line = entry.utc + "," + entry.course + "," + hashText(entry.hash) + "," +
                       threeDecimals(entry.time) + ",";
    for (std::size_t i = 0; i < entry.splits.size(); ++i) {
        line += (i == 0 ? "" : ";") + threeDecimals(entry.splits[i]);
    }
    line += std::string(",") + medalName(entry.medal) + "," + std::to_string(entry.rocks) + "," +
            std::to_string(entry.wrongZones) + "," + entry.version + "\n";
    return line;
}

std::optional<HistoryEntry> parseHistoryLine(const std::string& line) {
    const std::vector<std::string> fields = split(line, ',');
    if (fields.size() != kFields) {
        return std::nullopt;
    }
    HistoryEntry entry;
    entry.utc = fields[0];
    entry.course = fields[1];
    entry.version = fields[8];
    const std::optional<Medal> medal = medalFromWord(fields[5]);
    const auto hash =
        std::from_chars(fields[2].data(), fields[2].data() + fields[2].size(), entry.hash, 16);
    const bool ok = entry.utc.size() == 20 && entry.utc.back() == 'Z' && plainWord(entry.utc) &&
                    plainWord(entry.course) && plainWord(entry.version) && medal &&
                    fields[2].size() == 16 && hash.ec == std::errc() &&
                    hash.ptr == fields[2].data() + fields[2].size() &&
                    readSeconds(fields[3], entry.time) && readCount(fields[6], entry.rocks) &&
                    readCount(fields[7], entry.wrongZones);
    if (!ok) {
        return std::nullopt;
    }
    entry.medal = *medal;
    const std::vector<std::string> splits = split(fields[4], ';');
    if (splits.size() > kMostSplits) {
        return std::nullopt;
    }
    for (const std::string& text : splits) {
        float value = 0.0f;
        if (!readSeconds(text, value)) {
            return std::nullopt;
        }
        entry.splits.push_back(value);
    }
    return entry;
}

std::string utcNow() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

RoundHistory::RoundHistory(const std::filesystem::path& folder, std::ostream& console,
                           std::size_t mostRounds)
    : m_path(folder.empty() ? std::filesystem::path() : folder / "history.csv"),
      m_console(console),
      m_mostRounds(mostRounds) {
    if (!m_path.empty()) {
        read();
    }
}

void RoundHistory::read() {
    const FileRead file = readRegularFile(m_path, kMostBytes);
    if (file.status == ReadStatus::missing) {
        return;
    }
    if (file.status != ReadStatus::ok) {
        m_console << "The round history " << m_path.string() << " " << file.problem
                  << "; the statistics show this run's rounds only" << std::endl;
        return;
    }
    std::istringstream lines(file.bytes);
    std::string line;
    std::size_t broken = 0;
    std::size_t firstBroken = 0;
    while (std::getline(lines, line)) {
        ++m_lines;
        if (m_lines == 1 && line + "\n" == kHeader) {
            continue;
        }
        if (auto entry = parseHistoryLine(line)) {
            m_entries.push_back(std::move(*entry));
        } else if (broken++ == 0) {
            firstBroken = m_lines;
        }
    }
    if (broken > 0) {
        m_console << "The round history " << m_path.string() << " has " << broken
                  << " broken line(s), the first at line " << firstBroken
                  << "; they are skipped and the file kept" << std::endl;
    }
}

void RoundHistory::append(const HistoryEntry& entry) {
    m_entries.push_back(entry);
    if (m_path.empty()) {
        return;
    }
    std::string text = historyLine(entry);
    if (!m_endChecked) {
        // A line cut short by a crash keeps its own line: the new round never joins it.
        m_endChecked = true;
        std::ifstream file(m_path, std::ios::binary | std::ios::ate);
        if (!file) {
            text = kHeader + text;
            ++m_lines;
        } else if (file.tellg() > 0 && file.seekg(-1, std::ios::end) && file.get() != '\n') {
            text = "\n" + text;
        }
    }
    if (const auto problem = appendLine(m_path, text)) {
        if (!m_saidFailure) {
            m_console << "Couldn't add the round to " << m_path.string() << " (" << *problem
                      << "); the rounds of this run are kept until the game closes" << std::endl;
            m_saidFailure = true;
        }
        return;
    }
    ++m_lines;
    if (m_lines > m_mostRounds + 1) {
        trim();
    }
}

// The oldest rounds go, the rest written whole: a failed write leaves the long file as it was.
void RoundHistory::trim() {
    const std::size_t dropped = std::max<std::size_t>(1, m_mostRounds / 5);
    m_entries.erase(m_entries.begin(), m_entries.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                               dropped, m_entries.size())));
    std::string text = kHeader;
    for (const HistoryEntry& entry : m_entries) {
        text += historyLine(entry);
    }
    if (writeFileAtomically(m_path, text).written()) {
        m_lines = m_entries.size() + 1;
    }
}

CourseStatistics statisticsOf(const std::vector<HistoryEntry>& entries, const std::string& course,
                              std::uint64_t hash) {
    CourseStatistics stats;
    std::vector<float> bestSections;
    for (const HistoryEntry& entry : entries) {
        if (entry.course != course || entry.hash != hash) {
            continue;
        }
        ++stats.rounds;
        stats.secondsFlown += entry.time;
        stats.times.push_back(entry.time);
        if (stats.record < 0.0f || entry.time < stats.record) {
            stats.record = entry.time;
        }
        if (bestSections.empty()) {
            bestSections.assign(entry.splits.size(), -1.0f);
        }
        if (entry.splits.size() != bestSections.size()) {
            continue;  // not this course's rings (cannot happen for the same hash)
        }
        for (std::size_t i = 0; i < entry.splits.size(); ++i) {
            const float section = entry.splits[i] - (i == 0 ? 0.0f : entry.splits[i - 1]);
            if (bestSections[i] < 0.0f || section < bestSections[i]) {
                bestSections[i] = section;
            }
        }
    }
    if (!bestSections.empty()) {
        stats.bestSections = 0.0f;
        for (const float section : bestSections) {
            stats.bestSections += section;
        }
    }
    return stats;
}

}  // namespace kes
