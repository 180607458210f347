// Prints what choosing another course on the course screen costs: the race layer makes anew only
// what the course decides (the path and its tube, the zones, the rocks, the race, the records
// and the ghost) and keeps the renderer, its targets, programs and models. Runs the game's
// level in a small window (under Xvfb where there is no display). Not a test: the figures
// depend on the machine and its load.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/App.hpp"
#include "game/level/GameLayer.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kChanges = 12;

}  // namespace

int main() {
    // The game's own lines (courses laid out, the tube made) are not what this reports.
    std::ostringstream quiet;
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());
    kes::LaunchOptions options;
    options.width = 320;
    options.height = 240;
    kes::App app(options);
    const Clock::time_point built = Clock::now();
    kes::RaceSetup setup;
    setup.keepRecords = false;
    auto& game = app.layers.emplace<kes::GameLayer>(app, setup);
    const double buildMs = std::chrono::duration<double, std::milli>(Clock::now() - built).count();
    const std::vector<std::string> courses{"tight-knot", "long-haul",  "seed:42",
                                           "sky-ladder", "prime-loop", "seed:7"};
    std::vector<double> changes;
    for (int i = 0; i < kChanges; ++i) {
        const std::string& name = courses[static_cast<std::size_t>(i) % courses.size()];
        const Clock::time_point start = Clock::now();
        game.changeCourse(name);
        changes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (game.course().name != name) {
            std::cout.rdbuf(console);
            std::printf("the course is %s, not %s\n", game.course().name.c_str(), name.c_str());
            return 1;
        }
    }
    std::cout.rdbuf(console);
    std::sort(changes.begin(), changes.end());
    std::printf("the race layer built whole: %.1f ms\n", buildMs);
    std::printf("a course changed (%d changes over 6 courses): median %.1f ms, slowest %.1f ms\n",
                kChanges, changes[changes.size() / 2], changes.back());
    return 0;
}
