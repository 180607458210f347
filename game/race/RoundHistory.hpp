// Every finished round, one line each, in "history.csv" in the player's data folder:
//
//   utc,course,hash,time,splits,medal,rocks,wrong_zones,version
//   2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,24.350,2.317;4.950;...;24.350,gold,1,0,0.9.0
//
// The UTC time in ISO 8601, the course's name and content hash, the round's time and its
// splits (";" between them) in seconds, the medal it earned ("" for none), the rocks that hit
// the ship and the rings touched out of order during it, and the game's version. A line is
// appended and flushed as the round ends. The file is bounded: past kMostRounds rounds the
// oldest fifth go, the rest written whole by rename. Reading skips a broken line (a cut
// write, a hand edit) with one line on the console for all of them; nothing read is ever a
// reason to move or lose the file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

#include "game/race/Medals.hpp"

namespace kes {

struct HistoryEntry {
    std::string utc;  // "2026-12-10T03:12:45Z"
    std::string course;
    std::uint64_t hash = 0;
    float time = 0.0f;
    std::vector<float> splits;
    Medal medal = Medal::none;
    std::uint32_t rocks = 0;
    std::uint32_t wrongZones = 0;
    std::string version;
};

// The entry's line, newline included; and the entry a line holds (none when it is broken).
std::string historyLine(const HistoryEntry& entry);
std::optional<HistoryEntry> parseHistoryLine(const std::string& line);
// Now, as "2026-12-10T03:12:45Z".
std::string utcNow();

class RoundHistory {
public:
    static constexpr std::size_t kMostRounds = 10000;  // about 1.5 MiB of lines
    static constexpr const char* kHeader =
        "utc,course,hash,time,splits,medal,rocks,wrong_zones,version\n";

    // An empty `folder` keeps nothing (the demo and the tests' races).
    RoundHistory(const std::filesystem::path& folder, std::ostream& console,
                 std::size_t mostRounds = kMostRounds);

    // Appends the round (and the header to a new file); one line on the console when it
    // cannot be written, once a run.
    void append(const HistoryEntry& entry);
    // The rounds read at start and appended since, oldest first.
    const std::vector<HistoryEntry>& entries() const { return m_entries; }
    const std::filesystem::path& path() const { return m_path; }

private:
    void read();
    void trim();

    std::filesystem::path m_path;
    std::ostream& m_console;
    std::size_t m_mostRounds;
    std::vector<HistoryEntry> m_entries;
    std::size_t m_lines = 0;  // lines in the file, header and broken ones included
    bool m_saidFailure = false;
    bool m_endChecked = false;  // whether the file's last line was seen to end
};

// What a course's rounds add up to, for its statistics.
struct CourseStatistics {
    std::size_t rounds = 0;
    double secondsFlown = 0.0;
    float record = -1.0f;        // -1: no round
    float bestSections = -1.0f;  // the best time of each section between rings, summed
    std::vector<float> times;    // each round's, in the order flown
};

// The statistics of the course named `course` with content `hash` (rounds of an edited
// course are another course's).
CourseStatistics statisticsOf(const std::vector<HistoryEntry>& entries, const std::string& course,
                              std::uint64_t hash);

}  // namespace kes
