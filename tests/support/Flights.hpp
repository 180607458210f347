// Rounds the tests fly headless: the autopilot's first round after a restart `restartAt` steps
// into the flight (the rocks elsewhere and the clocks on), recorded as `player`'s ghost; and the
// prime round of the first course, flown once for a whole test program.
#pragma once

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/PrimeRound.hpp"
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

// Flown the first time it is asked for, its console lines kept out of the test's output.
inline const Ghost& primeOfTheFirstCourse() {
    static const Ghost ghost = [] {
        testing::internal::CaptureStdout();
        Ghost flown = *flyPrimeRound(firstCourse());
        testing::internal::GetCapturedStdout();
        return flown;
    }();
    return ghost;
}

}  // namespace kes::test
