// The prime round of a course: the autopilot's own first round on it, flown headless on the
// fixed step from a fresh start (no window, no drawing; a round of a minute is a few thousand
// steps, well under a second here). The same build flies it the same every time, so its time
// is the course's prime target and its ghost a real one, raced like any other.
//
// TargetKeeper keeps the prime rounds by course hash: in memory, and as
// "<data>/targets/<hash>.ghost" where a folder is given, so that a course is flown once per
// build (a file of another game version is flown again and replaced).
#pragma once

#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>

#include "game/course/Course.hpp"
#include "game/ghost/Ghost.hpp"
#include "game/race/Medals.hpp"

namespace kes {

// None when the autopilot finishes no round in ten minutes of flight (a course it cannot fly).
std::optional<Ghost> flyPrimeRound(const Course& course);

class TargetKeeper {
public:
    // An empty `folder` keeps the rounds in memory only (the demo).
    TargetKeeper(std::filesystem::path folder, std::ostream& console);

    // The course's targets, flying its prime round when it is not known yet; none when the
    // autopilot cannot finish it.
    const std::optional<TargetTimes>& targets(const Course& course);
    // The course's prime round, flown if needed.
    const Ghost* primeRound(const Course& course);

private:
    struct Known {
        std::optional<Ghost> round;
        std::optional<TargetTimes> targets;
    };
    Known& known(const Course& course);
    std::optional<Ghost> readKept(const Course& course, const std::filesystem::path& path);
    void keep(const Ghost& round, const std::filesystem::path& path);

    std::filesystem::path m_folder;
    std::ostream& m_console;
    std::map<std::uint64_t, Known> m_known;
};

}  // namespace kes
