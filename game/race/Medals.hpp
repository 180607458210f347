// Target times and the medals they give. Every course has four targets: prime, the autopilot's
// own round on it, and gold, silver and bronze, a little slower each (or the course file's
// own, when it sets them). A round earns the best medal whose time it meets or beats.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "game/course/Course.hpp"

namespace kes {

enum class Medal : std::uint8_t { none = 0, bronze, silver, gold, prime };

struct TargetTimes {
    float bronze = 0.0f;
    float silver = 0.0f;
    float gold = 0.0f;
    float prime = 0.0f;
    std::vector<float> primeSplits;  // the autopilot's round, zone by zone
    bool courseOwn = false;          // bronze to gold came from the course file
};

// How much slower than prime each medal's time is, before rounding to a tenth: gold forgives
// a few small mistakes, silver a rock, bronze a lap flown carefully (see the README).
inline constexpr float kGoldFactor = 1.05f;
inline constexpr float kSilverFactor = 1.15f;
inline constexpr float kBronzeFactor = 1.30f;

// The targets of a course whose autopilot round took `prime` with `primeSplits`: the course's
// own bronze, silver and gold when it sets them slower than prime, otherwise prime times the
// factors, each rounded to a tenth and at least a tenth slower than the one below it.
TargetTimes targetsFor(float prime, std::vector<float> primeSplits,
                       const std::optional<CourseTargets>& own);

// The medal `time` earns; none for no time (negative).
Medal medalFor(float time, const TargetTimes& targets);
// The medal after `medal` (none after prime).
Medal nextMedal(Medal medal);
float targetTime(const TargetTimes& targets, Medal medal);
// The splits to beat for `medal`: prime's round scaled to the medal's time.
std::vector<float> targetSplits(const TargetTimes& targets, Medal medal);
// "gold"; "" for none.
const char* medalName(Medal medal);
// "Gold"; "" for none.
const char* medalTitle(Medal medal);
// "Targets for tight-knot: bronze 30.800 s, silver 27.300 s, gold 24.900 s, prime 23.717 s"
std::string targetsLine(const std::string& courseName, const TargetTimes& targets);

}  // namespace kes
