// Target times and medals: the targets fall from bronze to prime by at least a tenth each,
// whatever prime is; a course's own times count only when they fall and stay slower than
// prime; a round earns the best medal it meets, at the target's time exactly too.
#include "game/race/Medals.hpp"

#include <gtest/gtest.h>

namespace kes {
namespace {

TEST(Medals, TargetsFallByAtLeastATenthAndACoursesOwnCountOnlyWhenSlowerThanPrime) {
    for (const float prime : {0.05f, 1.0f, 9.95f, 23.717f, 57.4667f, 600.0f}) {
        const TargetTimes t = targetsFor(prime, {}, std::nullopt);
        EXPECT_GE(t.gold, prime + 0.0999f) << prime;
        EXPECT_GE(t.silver, t.gold + 0.0999f) << prime;
        EXPECT_GE(t.bronze, t.silver + 0.0999f) << prime;
        EXPECT_FALSE(t.courseOwn);
    }
    const TargetTimes knot = targetsFor(23.717f, {}, std::nullopt);
    EXPECT_EQ(targetsLine("tight-knot", knot),
              "Targets for tight-knot: bronze 30.800 s, silver 27.300 s, gold 24.900 s, prime "
              "23.717 s");
    const TargetTimes own = targetsFor(23.717f, {}, CourseTargets{40.0f, 30.0f, 25.0f});
    EXPECT_TRUE(own.courseOwn);
    EXPECT_FLOAT_EQ(own.bronze, 40.0f);
    EXPECT_FLOAT_EQ(own.gold, 25.0f);
    // A course file cannot ask for a gold faster than the autopilot's own round.
    const TargetTimes tooFast = targetsFor(23.717f, {}, CourseTargets{40.0f, 30.0f, 23.0f});
    EXPECT_FALSE(tooFast.courseOwn);
    EXPECT_FLOAT_EQ(tooFast.gold, knot.gold);
}

TEST(Medals, ARoundEarnsTheBestMedalItMeetsAndTheTargetSplitsScalePrimesRound) {
    const TargetTimes t = targetsFor(20.0f, {5.0f, 12.0f, 20.0f}, std::nullopt);
    const struct {
        float time;
        Medal medal;
    } cases[] = {
        {-1.0f, Medal::none},      {0.0f, Medal::none},       {t.bronze + 0.001f, Medal::none},
        {t.bronze, Medal::bronze}, {t.silver, Medal::silver}, {t.gold + 0.001f, Medal::silver},
        {t.gold, Medal::gold},     {20.0f, Medal::prime},     {1.0f, Medal::prime}};
    for (const auto& c : cases) {
        EXPECT_EQ(medalFor(c.time, t), c.medal) << c.time;
    }
    EXPECT_EQ(nextMedal(Medal::none), Medal::bronze);
    EXPECT_EQ(nextMedal(Medal::gold), Medal::prime);
    EXPECT_EQ(nextMedal(Medal::prime), Medal::none);
    const std::vector<float> gold = targetSplits(t, Medal::gold);
    ASSERT_EQ(gold.size(), 3u);
    EXPECT_FLOAT_EQ(gold.back(), t.gold);
    EXPECT_FLOAT_EQ(gold.front(), 5.0f * t.gold / 20.0f);
}

}  // namespace
}  // namespace kes
