// The race's rules as its events tell them, and the console lines they make.
#include "game/race/RaceState.hpp"

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "game/race/RaceConsole.hpp"
#include "support/RaceLog.hpp"

namespace kes {
namespace {

// A race with the console's lines going to a string and every event kept.
struct Race : RaceState {
    Race() {
        addObserver(&console);
        addObserver(&log);
    }
    Race(const Race&) = delete;
    Race& operator=(const Race&) = delete;

    std::ostringstream lines;
    RaceConsole console{lines};
    test::RaceLog log;
};

// Touches the zones in order at the given game times and returns the lines said meanwhile.
std::string touch(Race& race, std::initializer_list<std::pair<std::uint32_t, float>> touches) {
    race.lines.str("");
    for (const auto& [zone, time] : touches) {
        race.currentTime = time;
        race.onTargetZoneReached(zone);
    }
    std::string said = race.lines.str();
    // The console's own line for every touch comes first; the rules' lines are what follows.
    std::string rules;
    std::istringstream each(said);
    for (std::string line; std::getline(each, line);) {
        if (!line.starts_with(">>>> TargetZone with idx ")) {
            rules += line + "\n";
        }
    }
    return rules;
}

std::string checkedLine(int zone, int number) {
    return "Checked targetzone with idx " + std::to_string(zone) + " (number " +
           std::to_string(number) + ")\n";
}

TEST(RaceState, AFirstTouchOfAnotherZoneStartsTheClockButChecksNothing) {
    Race race;
    EXPECT_EQ(touch(race, {{3, 2.5f}}),
              "New start time 2.5\n"
              "the first reached target zone has to be the target zone with idx 0 but is 3\n");
    EXPECT_EQ(race.roundStartTime, 2.5f);
    EXPECT_EQ(race.lastChecked, RaceState::kNone);
    // The clock keeps running from that first touch.
    touch(race, {{0, 4.0f}});
    EXPECT_EQ(race.roundStartTime, 2.5f);
    EXPECT_EQ(race.lastChecked, 0u);
}

TEST(RaceState, AFullRoundIsTimedAndSetsTheBestTime) {
    Race race;
    std::string expected =
        "New start time 1\n" + checkedLine(0, 1) + "Checked the first targetzone!\n";
    for (int zone = 1; zone <= 9; ++zone) {
        expected += checkedLine(zone, zone + 1) + "Split at targetzone " + std::to_string(zone) +
                    ": " + std::to_string(4 * zone) + ".000 seconds\n";
    }
    expected += checkedLine(0, 11) + "Finished round 1 in 40.5 seconds.\nNew best time!\n" +
                "Split at targetzone 0: 40.500 seconds\n";
    EXPECT_EQ(touch(race, {{0, 1},
                           {1, 5},
                           {2, 9},
                           {3, 13},
                           {4, 17},
                           {5, 21},
                           {6, 25},
                           {7, 29},
                           {8, 33},
                           {9, 37},
                           {0, 41.5f}}),
              expected);
    EXPECT_EQ(race.roundsFinished, 1u);
    EXPECT_EQ(race.bestTime, 40.5f);
    EXPECT_EQ(race.roundStartTime, 41.5f);  // the next round has begun
    EXPECT_EQ(race.lastChecked, 0u);
}

TEST(RaceState, OnlyAStrictlyFasterRoundIsANewBest) {
    Race race;
    const auto round = [&race](float start, float end) {
        touch(race, {{0, start}});
        for (std::uint32_t zone = 1; zone <= 9; ++zone) {
            touch(race, {{zone, start + static_cast<float>(zone)}});
        }
        const std::string said = touch(race, {{0, end}});
        return said;
    };
    EXPECT_NE(round(0, 30).find("New best time!"), std::string::npos);
    // Zone 0 is already checked at 30 for the next round; the second round runs to 70.
    touch(race, {{1, 31}, {2, 32}, {3, 33}, {4, 34}, {5, 35}, {6, 36}, {7, 37}, {8, 38}, {9, 39}});
    EXPECT_EQ(touch(race, {{0, 70}}), checkedLine(0, 21) + "Finished round 2 in 40 seconds.\n" +
                                          "Split at targetzone 0: 40.000 seconds (+10.000 "
                                          "against the best round)\n");
    EXPECT_EQ(race.bestTime, 30.0f);
    touch(race, {{1, 71}, {2, 72}, {3, 73}, {4, 74}, {5, 75}, {6, 76}, {7, 77}, {8, 78}, {9, 79}});
    EXPECT_EQ(touch(race, {{0, 100}}).find("New best time!"), std::string::npos);  // equal
    EXPECT_EQ(race.roundsFinished, 3u);
    EXPECT_EQ(race.bestTime, 30.0f);
}

TEST(RaceState, ZonesOutOfOrderChangeNothing) {
    Race race;
    touch(race, {{0, 0}, {1, 1}, {2, 2}, {3, 3}});
    EXPECT_EQ(touch(race, {{5, 4}}),
              "Can't check the targetzone with idx 5 as the last checked targetzone was 3\n");
    EXPECT_EQ(touch(race, {{3, 4}}),
              "Can't check the targetzone with idx 3 as the last checked targetzone was 3\n");
    EXPECT_EQ(race.lastChecked, 3u);
    EXPECT_EQ(race.checkCount, 4u);
    touch(race, {{4, 5}});
    EXPECT_EQ(touch(race, {{0, 6}}),
              "The ship has to finish all 10 target zones of the round before it can check the "
              "target zone with index 0 again!\n");
    EXPECT_EQ(race.lastChecked, 4u);
    EXPECT_EQ(race.roundsFinished, 0u);
}

// Flies a round of ten zones, zone k at start + seconds[k - 1], the finish last.
void flyRound(Race& race, float start, const std::vector<float>& seconds) {
    touch(race, {{0, start}});
    for (std::uint32_t zone = 1; zone <= 9; ++zone) {
        touch(race, {{zone, start + seconds[zone - 1]}});
    }
    touch(race, {{0, start + seconds[9]}});
}

TEST(RaceState, SplitsCompareWithTheReferenceRoundWhichAFasterRoundReplaces) {
    Race race;
    test::RaceLog& heard = race.log;
    // A kept record of 50 s: 5 s a zone.
    race.setReference(50.0f, {5, 10, 15, 20, 25, 30, 35, 40, 45, 50});
    flyRound(race, 0.0f, {4, 8, 12, 16, 20, 24, 28, 32, 36, 40});
    ASSERT_EQ(heard.splits.size(), 10u);
    EXPECT_EQ(heard.splits[0].zone, 1u);
    EXPECT_FLOAT_EQ(*heard.splits[0].delta, -1.0f);
    EXPECT_EQ(heard.splits[9].zone, 0u);  // the finish
    EXPECT_EQ(heard.splits[9].position, 10u);
    EXPECT_FLOAT_EQ(*heard.splits[9].delta, -10.0f);
    ASSERT_EQ(heard.rounds.size(), 1u);
    EXPECT_TRUE(heard.rounds[0].newBest);
    EXPECT_TRUE(heard.rounds[0].newRecord);
    EXPECT_EQ(race.referenceTime, 40.0f);
    EXPECT_EQ(race.referenceSplits.back(), 40.0f);

    // A slower round: behind at every split, neither best nor record. Zone 0 already counts.
    heard.splits.clear();
    for (std::uint32_t zone = 1; zone <= 9; ++zone) {
        touch(race, {{zone, 40.0f + 5.0f * static_cast<float>(zone)}});
    }
    touch(race, {{0, 90.0f}});
    EXPECT_FLOAT_EQ(*heard.splits[0].delta, 1.0f);
    EXPECT_FALSE(heard.rounds[1].newBest);
    EXPECT_FALSE(heard.rounds[1].newRecord);
    EXPECT_EQ(race.referenceTime, 40.0f);
}

TEST(RaceState, NoDeltaBeforeABestRoundAndWrongZonesAreTold) {
    Race race;
    test::RaceLog& heard = race.log;
    touch(race, {{3, 0.0f}, {0, 1.0f}, {1, 2.0f}, {5, 3.0f}, {0, 4.0f}});
    ASSERT_EQ(heard.splits.size(), 1u);
    EXPECT_FALSE(heard.splits[0].delta);
    ASSERT_EQ(heard.wrongZones.size(), 3u);
    EXPECT_EQ(heard.wrongZones[0].zone, 3u);
    EXPECT_EQ(heard.wrongZones[0].reason, WrongZoneReason::notZeroFirst);
    EXPECT_EQ(heard.wrongZones[1].zone, 5u);
    EXPECT_EQ(heard.wrongZones[1].reason, WrongZoneReason::notNext);
    EXPECT_EQ(heard.wrongZones[2].zone, 0u);
    EXPECT_EQ(heard.wrongZones[2].reason, WrongZoneReason::finishEarly);
}

TEST(RaceState, ARestartClearsTheProgressAndKeepsTheBest) {
    Race race;
    flyRound(race, 0.0f, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    touch(race, {{1, 11.0f}, {2, 12.0f}});
    race.restart();
    EXPECT_EQ(race.lastChecked, RaceState::kNone);
    EXPECT_EQ(race.checkCount, 0u);
    EXPECT_EQ(race.roundStartTime, -1.0f);
    EXPECT_EQ(race.roundTime(), 0.0f);
    EXPECT_EQ(race.bestTime, 10.0f);
    EXPECT_EQ(race.roundsFinished, 1u);
    // The clock starts again at the next touch.
    EXPECT_EQ(touch(race, {{0, 20.0f}}),
              "New start time 20\n" + checkedLine(0, 1) + "Checked the first targetzone!\n");
}

// The lines that are the console's own, beside the rules': every touch, a rock and where it
// sends the ship, a restart.
TEST(RaceConsole, SaysEveryTouchEveryRockAndARestart) {
    Race race;
    race.currentTime = 1.0f;
    race.onTargetZoneReached(0);
    race.lastChecked = 3;
    race.onAsteroidTouched(6);
    race.restart();
    race.onAsteroidTouched(2);
    EXPECT_EQ(race.lines.str(),
              ">>>> TargetZone with idx 0 touched \nNew start time 1\n" + checkedLine(0, 1) +
                  "Checked the first targetzone!\n"
                  ">>>> Asteroid with idx 6 touched \nRespawning at targetZone 3\n"
                  "Race restarted\n"
                  ">>>> Asteroid with idx 2 touched \nRespawning at targetZone -1\n");
    EXPECT_EQ(race.log.hits,
              (std::vector<std::pair<std::uint32_t, std::int32_t>>{{6u, 3}, {2u, -1}}));
}

}  // namespace
}  // namespace kes
