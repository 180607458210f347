#include "game/ghost/PrimeRound.hpp"

#include <ostream>

#include "game/ghost/FlightRecorder.hpp"
#include "game/race/HeadlessRace.hpp"
#include "platform/Files.hpp"

namespace kes {
namespace {

constexpr std::uint64_t kLongestPrimeFlight = 60 * 600;  // steps: ten minutes

}  // namespace

std::optional<Ghost> flyPrimeRound(const Course& course) {
    HeadlessRace race(course);
    FlightRecorder recorder(race.simulation.course);
    race.simulation.race.addObserver(&recorder);
    race.simulation.recorder = &recorder;
    Autopilot pilot = autopilotFor(race.simulation);
    // The recorder completes a round's ghost at the step after the round's result.
    while (!recorder.lastRound() && race.steps < kLongestPrimeFlight) {
        race.step();
        pilot.step(race.simulation.nextZone());
    }
    race.simulation.race.removeObserver(&recorder);
    std::optional<Ghost> round = recorder.lastRound();
    if (round) {
        round->playerName = "Prime";
    }
    return round;
}

TargetKeeper::TargetKeeper(std::filesystem::path folder, std::ostream& console)
    : m_folder(std::move(folder)), m_console(console) {}

const std::optional<TargetTimes>& TargetKeeper::targets(const Course& course) {
    return known(course).targets;
}

const Ghost* TargetKeeper::primeRound(const Course& course) {
    Known& entry = known(course);
    return entry.round ? &*entry.round : nullptr;
}

TargetKeeper::Known& TargetKeeper::known(const Course& course) {
    const std::uint64_t hash = courseHash(course);
    const auto found = m_known.find(hash);
    if (found != m_known.end()) {
        return found->second;
    }
    const std::filesystem::path path =
        m_folder.empty() ? std::filesystem::path() : m_folder / (hashText(hash) + ".ghost");
    Known entry;
    entry.round = path.empty() ? std::nullopt : readKept(course, path);
    if (!entry.round) {
        entry.round = flyPrimeRound(course);
        if (entry.round && !path.empty()) {
            keep(*entry.round, path);
        }
    }
    if (entry.round) {
        entry.targets = targetsFor(entry.round->roundTime, entry.round->splits, course.targets);
        if (course.targets && !entry.targets->courseOwn) {
            m_console << "The course " << course.name << " sets a gold time of "
                      << course.targets->gold << " s, not slower than the autopilot's round ("
                      << entry.round->roundTime << " s); its targets are computed" << std::endl;
        }
    }
    return m_known.emplace(hash, std::move(entry)).first->second;
}

// A kept round of this build and this course; anything else is flown again and written over.
std::optional<Ghost> TargetKeeper::readKept(const Course& course,
                                            const std::filesystem::path& path) {
    const FileRead file = readRegularFile(path, 8 * 1024 * 1024);
    if (file.status != ReadStatus::ok) {
        return std::nullopt;
    }
    GhostRead read = decodeGhost(file.bytes, course.name, courseHash(course));
    if (!read.ghost || read.ghost->gameVersion != gameVersion() || read.ghost->round != 1) {
        return std::nullopt;
    }
    return std::move(read.ghost);
}

void TargetKeeper::keep(const Ghost& round, const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    const FileWrite write = writeFileAtomically(path, encodeGhost(round));
    if (!write.written()) {
        m_console << "Couldn't keep the prime round in " << path.string() << " (" << *write.problem
                  << "); it is flown again next time" << std::endl;
    }
}

}  // namespace kes
