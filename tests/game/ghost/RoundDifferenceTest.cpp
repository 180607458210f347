// The difference line along the course: a round against itself gains nothing anywhere; against
// the same flight flown slower it gains in proportion to the time flown, between the rings as at
// them; against a round that waited a second at the start it is a second ahead all the way,
// the waiting (no distance flown) being no part of the course. The round flown here is put
// back on the course once (a jump of some 250 units between two samples), which counts as no
// way flown; so does a moment put back elsewhere in the other round.
#include "game/ghost/RoundDifference.hpp"

#include <gtest/gtest.h>

#include "support/Flights.hpp"
#include "physics/Step.hpp"

namespace kes {
namespace {

using test::primeOfTheFirstCourse;

// The same flight, each moment reached `stretch` times later; the first `wait` seconds
// standing at the start.
Ghost flownAgain(const Ghost& ghost, float stretch, float wait) {
    Ghost again = ghost;
    again.samples.clear();
    const float every = kFixedStep * float(ghost.sampleEvery);
    const float length = wait + ghost.roundTime * stretch;
    for (std::uint32_t j = 0; float(j) * every < length + every; ++j) {
        again.samples.push_back(ghost.at(std::max(float(j) * every - wait, 0.0f) / stretch));
    }
    for (float& split : again.splits) {
        split = wait + split * stretch;
    }
    again.roundTime = length;
    return again;
}

TEST(RoundDifference, TheLineFollowsTheGainAllAlongTheCourse) {
    const Ghost& ghost = primeOfTheFirstCourse();
    const std::size_t perSection = 12;
    const std::size_t expected = 1 + ghost.splits.size() * perSection;

    const auto itself = differenceAlongRound(ghost, ghost, perSection);
    ASSERT_EQ(itself.size(), expected);
    for (const DifferencePoint& point : itself) {
        EXPECT_NEAR(point.difference, 0.0f, 1e-4f) << point.seconds;
    }

    // Twice as slow: the same line through the samples, so the same way flown.
    const auto againstSlower = differenceAlongRound(ghost, flownAgain(ghost, 2.0f, 0.0f));
    ASSERT_EQ(againstSlower.size(), expected);
    float previous = -1.0f;
    for (const DifferencePoint& point : againstSlower) {
        EXPECT_GT(point.seconds, previous);  // in time order along the watched round
        previous = point.seconds;
        EXPECT_NEAR(point.difference, -point.seconds, 0.01f) << point.seconds;
    }
    EXPECT_FLOAT_EQ(againstSlower.back().seconds, ghost.splits.back());
    EXPECT_NEAR(againstSlower.back().difference, -ghost.splits.back(), 1e-3f);

    const auto againstLate = differenceAlongRound(ghost, flownAgain(ghost, 1.0f, 1.0f));
    for (std::size_t i = 1; i < againstLate.size(); ++i) {
        EXPECT_NEAR(againstLate[i].difference, -1.0f, 0.01f) << againstLate[i].seconds;
    }

    // Put back on the course somewhere else for a moment: no way flown, no time lost.
    Ghost putBack = ghost;
    putBack.samples[std::size_t(20.0f / (kFixedStep * float(ghost.sampleEvery)))].position +=
        glm::vec3(400.0f, 0.0f, 0.0f);
    for (const DifferencePoint& point : differenceAlongRound(ghost, putBack)) {
        EXPECT_NEAR(point.difference, 0.0f, 0.05f) << point.seconds;
    }

    Ghost fewerRings = ghost;
    fewerRings.splits.resize(2);
    EXPECT_EQ(differenceAlongRound(ghost, fewerRings, perSection).size(), 1 + 2 * perSection);
}

}  // namespace
}  // namespace kes
