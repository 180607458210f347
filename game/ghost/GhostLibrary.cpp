#include "game/ghost/GhostLibrary.hpp"

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <system_error>

#include "game/ghost/GhostKeeper.hpp"
#include "game/ghost/Reflight.hpp"
#include "game/race/FigureText.hpp"
#include "platform/Files.hpp"

namespace kes {
namespace {

GhostLibrary::Import refused(const std::string& why) {
    return {false, "Not imported: " + why, {}};
}

// Why the proven flight is not the round the ghost claims, in the player's words.
std::string flightProblem(const Reflight& flight, const Ghost& ghost) {
    if (flight.finishedIn > 0.0f &&
        threeDecimals(flight.finishedIn) != threeDecimals(ghost.roundTime)) {
        return "the flight finishes in " + threeDecimals(flight.finishedIn) + " s, the file says " +
               threeDecimals(ghost.roundTime) + " s";
    }
    if (flight.finishedIn > 0.0f) {
        return "the flight finishes in " + threeDecimals(flight.finishedIn) +
               " s as the file says, but on another step or with other splits";
    }
    return "the flight finishes no round (" + flight.verdict + ")";
}

}  // namespace

std::filesystem::path importedGhostName(const Ghost& ghost, const std::string& bytes) {
    std::string name = ghost.courseName;
    std::replace(name.begin(), name.end(), ':', '.');
    unsigned char tail[4] = {};
    for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
        tail[i] = static_cast<unsigned char>(bytes[bytes.size() - 4 + i]);
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", tail[3], tail[2], tail[1], tail[0]);
    return name + "-" + hex + ".ghost";
}

GhostLibrary::GhostLibrary(std::filesystem::path folder, std::ostream& console)
    : m_folder(std::move(folder)), m_console(console) {}

GhostLibrary::Import GhostLibrary::importFile(const std::filesystem::path& file,
                                              const CourseLibrary& courses) {
    const FileRead read = readRegularFile(file, GhostKeeper::kMaxBytes);
    if (read.status != ReadStatus::ok) {
        return refused(file.string() + " " + read.problem);
    }
    GhostRead decoded = decodeGhost(read.bytes);
    if (!decoded.ghost) {
        return refused("the file " + decoded.problem);
    }
    const Ghost& ghost = *decoded.ghost;
    if (ghost.format != Ghost::kFormat) {
        return refused("the file is of ghost format " + std::to_string(ghost.format) +
                       ", which keeps no start to fly it again from; this game imports format " +
                       std::to_string(Ghost::kFormat));
    }
    if (ghost.playerName.empty()) {
        return refused("the file names no player");
    }
    const std::optional<Course> course = courses.find(ghost.courseName);
    if (!course) {
        return refused("the course " + ghost.courseName + " is not here");
    }
    if (courseHash(*course) != ghost.courseHash) {
        return refused("the ghost is of another version of the course " + course->title);
    }
    const Reflight flight = flyAgain(ghost, *course);
    if (!flight.reproduced) {
        return refused(flightProblem(flight, ghost));
    }
    if (m_folder.empty()) {
        return refused("there is no folder to keep ghosts in");
    }
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    const std::filesystem::path kept = m_folder / importedGhostName(ghost, read.bytes);
    const FileWrite write = writeFileAtomically(kept, read.bytes);
    if (!write.written()) {
        return refused("couldn't write " + kept.string() + " (" + *write.problem + ")");
    }
    return {true,
            "Imported ghost of " + course->title + " by " + ghost.playerName + ": " +
                threeDecimals(ghost.roundTime) + " s, verified",
            kept};
}

const std::vector<Ghost>& GhostLibrary::of(const Course& course) {
    m_listed.clear();
    std::error_code error;
    if (m_folder.empty() || !std::filesystem::is_directory(m_folder, error)) {
        return m_listed;
    }
    const std::uint64_t hash = courseHash(course);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_folder, error)) {
        if (entry.path().extension() != ".ghost" || ++files > kMostFiles) {
            continue;
        }
        const FileRead read = readRegularFile(entry.path(), GhostKeeper::kMaxBytes);
        if (read.status != ReadStatus::ok) {
            continue;
        }
        GhostRead decoded = decodeGhost(read.bytes, course.name, hash);
        if (decoded.ghost && proven(entry.path(), *decoded.ghost, course)) {
            m_listed.push_back(std::move(*decoded.ghost));
        }
    }
    std::sort(m_listed.begin(), m_listed.end(),
              [](const Ghost& a, const Ghost& b) { return a.roundTime < b.roundTime; });
    return m_listed;
}

// Flown once a run for each file as it stands (a file replaced since is flown again).
bool GhostLibrary::proven(const std::filesystem::path& path, const Ghost& ghost,
                          const Course& course) {
    std::error_code error;
    const Proven now{std::filesystem::file_size(path, error),
                     std::filesystem::last_write_time(path, error), false};
    const auto known = m_proven.find(path);
    if (known != m_proven.end() && known->second.size == now.size &&
        known->second.written == now.written) {
        return known->second.reproduced;
    }
    Proven result = now;
    result.reproduced = ghost.format == Ghost::kFormat && flyAgain(ghost, course).reproduced;
    if (!result.reproduced) {
        m_console << "The ghost file " << path.string()
                  << " does not fly again to its time; it is not listed" << std::endl;
    }
    m_proven[path] = result;
    return result.reproduced;
}

}  // namespace kes
