// Rounds the tests fly headless: the autopilot's first round after a restart `restartAt` steps
// into the flight (the rocks elsewhere and the clocks on), recorded as `player`'s ghost.
#pragma once

#include <cstdint>
#include <string>

#include "game/ghost/FlightRecorder.hpp"
#include "game/race/HeadlessRace.hpp"

namespace kes::test {

inline Ghost roundAfterRestart(const Course& course, const std::string& player,
                               std::uint64_t restartAt) {
    HeadlessRace race(course);
    FlightRecorder recorder(race.simulation.course);
    recorder.playerName = player;
    race.simulation.race.addObserver(&recorder);
    race.simulation.recorder = &recorder;
    Autopilot pilot = autopilotFor(race.simulation);
    while (race.steps < restartAt) {
        race.step();
        pilot.step(race.simulation.nextZone());
    }
    pilot.releaseAll();
    race.simulation.restart();
    while (!recorder.lastRound()) {
        race.step();
        pilot.step(race.simulation.nextZone());
    }
    return *recorder.lastRound();
}

}  // namespace kes::test
