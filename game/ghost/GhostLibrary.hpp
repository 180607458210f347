// The ghosts of other players (or of other runs) the player imported, kept in "<data>/ghosts".
// A ghost is imported only when it proves its time: its file is read as strictly as the game's
// own, it must be of this format (it carries its start and its player's name), of a course
// the game has as it was flown, and flown again headless from its start its round must come
// again to the step, the time and every split. Any other is refused with its reason and
// nothing is written. The table of a course lists its proven ghosts, fastest first; a file
// put into the folder by hand is flown again the same way before it is listed.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "game/course/CourseLibrary.hpp"
#include "game/ghost/Ghost.hpp"

namespace kes {

class GhostLibrary {
public:
    static constexpr std::size_t kMostFiles = 500;  // read from the folder

    // An empty `folder` keeps and lists nothing.
    GhostLibrary(std::filesystem::path folder, std::ostream& console);

    struct Import {
        bool kept = false;
        // "Imported ghost of Tight Knot by Ada: 23.717 s, verified", or "Not imported: the
        // flight finishes in 24.050 s, the file says 23.717 s"
        std::string line;
        std::filesystem::path path;  // where it was kept
    };
    Import importFile(const std::filesystem::path& file, const CourseLibrary& courses);

    // The proven ghosts of `course`, fastest first. Files that are no ghost of it are passed
    // over; one that is but does not fly to its time is said once and left where it is.
    const std::vector<Ghost>& of(const Course& course);
    // The ghosts the last call of `of` listed.
    const std::vector<Ghost>& listed() const { return m_listed; }
    const std::filesystem::path& folder() const { return m_folder; }

private:
    struct Proven {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type written{};
        bool reproduced = false;
    };
    bool proven(const std::filesystem::path& path, const Ghost& ghost, const Course& course);

    std::filesystem::path m_folder;
    std::ostream& m_console;
    std::map<std::filesystem::path, Proven> m_proven;  // flown this run, by file
    std::vector<Ghost> m_listed;
};

// The name an imported ghost is kept under: its course (":" as "."), and the first 8 hex
// digits of the file's checksum, so that two ghosts never share one and importing the same
// file twice keeps it once.
std::filesystem::path importedGhostName(const Ghost& ghost, const std::string& bytes);

}  // namespace kes
