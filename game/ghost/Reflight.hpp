// Flies a ghost again with no window: the race on its course put where its flight started,
// its recorded controls step by step, until the judge decides whether the round it claims
// comes again. What proves an imported ghost and what the tests fly.
#pragma once

#include <string>

#include "game/course/Course.hpp"
#include "game/ghost/Ghost.hpp"

namespace kes {

struct Reflight {
    bool reproduced = false;
    // The judge's words ("Replay reproduces round time 23.717 s"), or why the flight could
    // not be flown ("its start has another number of asteroids than the course").
    std::string verdict;
    float finishedIn = -1.0f;  // the round time the flight gave; -1 when none finished
};

// `course` must be the ghost's own (its name and hash are the caller's to check).
Reflight flyAgain(const Ghost& ghost, const Course& course);

}  // namespace kes
