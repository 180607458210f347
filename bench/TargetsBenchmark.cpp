// Prints, for each bundled course and a few seeds, how long computing the targets takes
// (the prime round flown headless) and how the medals' times compare with gentler flying: the
// same autopilot with its throttle held at 90 %, 80 % and 70 %, and the cost of one section
// between rings (what a rock hit sends the ship back by, at most). This is how the factors of
// the medals were judged (see the README); not a test: the times depend on the machine.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "game/course/CourseLibrary.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "game/race/HeadlessRace.hpp"
#include "game/race/Medals.hpp"

namespace {

using Clock = std::chrono::steady_clock;

// The autopilot's first round with its throttle never above `throttle`; -1 when it finishes
// none in ten minutes.
float gentleRound(const kes::Course& course, float throttle) {
    kes::HeadlessRace race(course);
    kes::Autopilot pilot = kes::autopilotFor(race.simulation);
    kes::HidListener_SceneNodeController& ship = race.simulation.shipController;
    while (race.simulation.race.roundsFinished == 0 && race.steps < 60 * 600) {
        race.step();
        pilot.step(race.simulation.nextZone());
        kes::ControlState controls = ship.controls();
        float& accelerate = controls.strengths[kes::HidListener_SceneNodeController::accelerate];
        accelerate = std::min(accelerate, throttle);
        ship.setControls(controls);
    }
    return race.simulation.race.roundsFinished > 0 ? race.simulation.race.bestTime : -1.0f;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string assets = argc > 1 ? argv[1] : "assets";
    std::ostringstream quiet;
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());  // the path's own timing lines
    const kes::CourseLibrary library(std::string(assets) + "/courses", {}, quiet);
    std::vector<kes::Course> courses = library.courses();
    for (const char* seed : {"seed:7", "seed:42", "seed:90210", "seed:123456"}) {
        courses.push_back(*library.find(seed));
    }
    std::vector<std::string> lines;
    for (const kes::Course& course : courses) {
        const Clock::time_point start = Clock::now();
        kes::TargetKeeper keeper({}, quiet);
        const std::optional<kes::TargetTimes> targets = keeper.targets(course);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (!targets) {
            lines.push_back(course.name + ": the autopilot finishes no round");
            continue;
        }
        const float prime = targets->prime;
        char line[320];
        std::snprintf(
            line, sizeof line,
            "%-12s prime %7.3f s in %5.0f ms | gold %+5.1f %% silver %+5.1f %% "
            "bronze %+5.1f %% | throttle 90 %% %+5.1f %%, 80 %% %+5.1f %%, 70 %% %+5.1f "
            "%% | a section %4.1f %%",
            course.name.c_str(), prime, seconds * 1000.0, 100.0 * (targets->gold / prime - 1.0),
            100.0 * (targets->silver / prime - 1.0), 100.0 * (targets->bronze / prime - 1.0),
            100.0 * (gentleRound(course, 0.9f) / prime - 1.0),
            100.0 * (gentleRound(course, 0.8f) / prime - 1.0),
            100.0 * (gentleRound(course, 0.7f) / prime - 1.0),
            100.0 / static_cast<double>(targets->primeSplits.size()));
        lines.push_back(line);
    }
    std::cout.rdbuf(console);
    for (const std::string& line : lines) {
        std::cout << line << "\n";
    }
    return 0;
}
