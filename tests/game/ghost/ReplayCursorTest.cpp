// The replay's cursor: the same moment reached by seeking on the timeline, by rings and steps,
// and by playing four times as fast and going back, is the same place; speeds stop at 1/4 and
// 4; stepping waits for a pause; playing stops at the finish.
#include "game/ghost/ReplayCursor.hpp"

#include <gtest/gtest.h>

#include "support/Flights.hpp"
#include "physics/Step.hpp"

namespace kes {
namespace {

using test::primeOfTheFirstCourse;

TEST(ReplayCursor, EveryWayToAMomentGivesTheSamePlace) {
    const Ghost& ghost = primeOfTheFirstCourse();
    const auto ringThree = static_cast<float>(std::lround(ghost.splits[2] / kFixedStep));
    const float target = ringThree + 10.0f;  // steps into the round
    const float last = float(ghost.roundEndStep - ghost.roundStartStep);

    ReplayCursor sought(ghost);
    sought.seek(target / last);

    ReplayCursor byRings(ghost);
    for (int ring = 0; ring < 3; ++ring) {
        byRings.nextRing();
    }
    EXPECT_EQ(byRings.ringsPassed(), 3u);
    for (int step = 0; step < 10; ++step) {
        byRings.stepForward();
    }

    ReplayCursor played(ghost);
    for (int i = 0; i < 4; ++i) {
        played.faster();  // held at 4
    }
    EXPECT_EQ(played.speed(), ReplayCursor::kFastest);
    played.play();
    while (played.ringsPassed() < 4) {
        played.advance(1.0f / 60.0f);
        played.stepBack();  // ignored while playing
    }
    played.pause();
    played.previousRing();
    played.previousRing();
    for (int step = 0; step < 10; ++step) {
        played.stepForward();
    }

    for (const ReplayCursor* cursor : {&byRings, &played}) {
        EXPECT_FLOAT_EQ(cursor->seconds(), sought.seconds());
        EXPECT_EQ(cursor->place().position, sought.place().position);
        EXPECT_EQ(cursor->place().orientation, sought.place().orientation);
        EXPECT_EQ(cursor->controls(),
                  ghost.controlsAt(ghost.roundStartStep + std::uint32_t(target)));
    }
    EXPECT_FLOAT_EQ(sought.seconds(), target * kFixedStep);
}

TEST(ReplayCursor, SpeedsStopAtTheEndsAndPlayingStopsAtTheFinish) {
    const Ghost& ghost = primeOfTheFirstCourse();
    ReplayCursor cursor(ghost);
    for (int i = 0; i < 10; ++i) {
        cursor.slower();
    }
    EXPECT_EQ(cursor.speed(), ReplayCursor::kSlowest);
    cursor.play();
    cursor.advance(4.0f);  // a second of the round at a quarter
    EXPECT_NEAR(cursor.seconds(), 1.0f, 1e-4f);
    cursor.faster();
    cursor.faster();
    cursor.advance(3600.0f);
    EXPECT_FALSE(cursor.playing());
    EXPECT_FLOAT_EQ(cursor.fraction(), 1.0f);
    EXPECT_EQ(cursor.ringsPassed(), ghost.splits.size());
    EXPECT_EQ(cursor.place().position, ghost.samples.back().position);
    cursor.play();  // at the finish there is nothing left to play
    EXPECT_FALSE(cursor.playing());
    cursor.restart();
    EXPECT_EQ(cursor.seconds(), 0.0f);
    cursor.previousRing();
    cursor.stepBack();
    EXPECT_EQ(cursor.seconds(), 0.0f);
}

}  // namespace
}  // namespace kes
