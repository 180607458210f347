// The race flown by fixed steps alone, with no window: where everything stands, how the
// asteroids swing, what a touch does, the speed bonus, a whole round by the autopilot with the
// console's lines compared to a saved copy, and records kept across runs.
#include "game/race/RaceSimulation.hpp"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "game/race/RaceConsole.hpp"
#include "game/race/RecordKeeper.hpp"
#include "support/FlyRace.hpp"
#include "support/RaceLog.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::HeadlessRace;
using test::RaceLog;

constexpr std::uint64_t kStepLimit = 60 * 300;  // five minutes of simulated flight

class RaceSimulationTest : public testing::Test {
protected:
    RaceSimulationTest() { race.simulation.race.addObserver(&log); }

    RaceSimulation& sim() { return race.simulation; }
    void putShipAt(const glm::vec3& position) {
        sim().shipBody->setTransform({position, sim().shipBody->getTransform().orientation});
    }

    HeadlessRace race;
    RaceLog log;
};

TEST_F(RaceSimulationTest, ZonesAndAsteroidsStandOnTheCoursesMidPoints) {
    const auto& mids = sim().path.midPoints();
    ASSERT_EQ(mids.size(), 460u);
    ASSERT_EQ(sim().zoneBodies.size(), 10u);
    ASSERT_EQ(sim().asteroidBodies.size(), 10u);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(sim().zoneBodies[i]->getTransform().position, mids[46 * i].position);
        EXPECT_EQ(sim().asteroidBodies[i]->getTransform().position, mids[28 + 46 * i].position);
    }
    EXPECT_EQ(sim().shipBody->getTransform().position, mids[5].position);
    EXPECT_EQ(sim().race.targetZoneCount, 10);
}

// The rocks move as one, along x only, out and back: after a full swing of 2 pi seconds they
// are where they began, having gone far enough to close the tube on the way.
TEST_F(RaceSimulationTest, TheAsteroidsSwingTogetherAlongXAndComeBack) {
    std::vector<glm::vec3> start;
    for (const RigidBody* rock : sim().asteroidBodies) {
        start.push_back(rock->getTransform().position);
    }
    float farthest = 0.0f;
    const auto fullSwing = static_cast<int>(std::lround(2.0 * std::numbers::pi * 60.0));
    for (int step = 0; step < fullSwing; ++step) {
        race.step();
        const glm::vec3 moved = sim().asteroidBodies[0]->getTransform().position - start[0];
        EXPECT_EQ(moved.y, 0.0f);
        EXPECT_EQ(moved.z, 0.0f);
        farthest = std::max(farthest, std::fabs(moved.x));
        for (std::size_t i = 1; i < start.size(); ++i) {
            const glm::vec3 other = sim().asteroidBodies[i]->getTransform().position - start[i];
            EXPECT_NEAR(other.x, moved.x, 1e-2f) << "rock " << i << " at step " << step;
        }
    }
    EXPECT_GT(farthest, 2.0f * 25.0f);  // more than the tube is wide
    EXPECT_NEAR(sim().asteroidBodies[0]->getTransform().position.x, start[0].x, 1.0f);
}

TEST_F(RaceSimulationTest, AnAsteroidSendsTheShipBackToTheLastZoneChecked) {
    putShipAt(sim().asteroidBodies[4]->getTransform().position);
    race.step();
    ASSERT_EQ(log.hits.size(), 1u);
    EXPECT_EQ(log.hits[0], std::make_pair(4u, -1));  // before any zone: back to the start
    race.step();
    EXPECT_EQ(sim().shipBody->getTransform().position,
              sim().path.midPoints()[sim().course.startMidPoint].position);
    EXPECT_EQ(sim().shipController.orientation, glm::quat(1, 0, 0, 0));

    sim().race.lastChecked = 3;
    putShipAt(sim().asteroidBodies[7]->getTransform().position);
    race.step();
    race.step();
    ASSERT_EQ(log.hits.size(), 2u);
    EXPECT_EQ(log.hits[1], std::make_pair(7u, 3));
    EXPECT_EQ(sim().shipBody->getTransform().position, sim().zonePosition(3));
}

// R after flying off the course: the ship is back at the start as launched, the progress is
// gone, the best time stays, and the zone 0 it starts in counts again.
TEST_F(RaceSimulationTest, RestartPutsTheShipBackAtTheStartAndClearsTheProgress) {
    const glm::vec3 start = sim().shipBody->getTransform().position;
    const glm::quat launched = sim().shipController.orientation;
    race.step();
    sim().race.bestTime = 50.0f;
    sim().race.lastChecked = 4;
    const glm::vec3 faraway = start + glm::vec3(0.0f, 400.0f, 0.0f);
    putShipAt(faraway);
    sim().shipController.position = faraway;
    for (int i = 0; i < 5; ++i) {
        race.step();
    }
    log.order.clear();
    sim().restart();
    EXPECT_EQ(sim().race.lastChecked, RaceState::kNone);
    EXPECT_EQ(sim().nextZone(), 0u);
    race.step();  // places the ship; the next step's physics finds it inside zone 0
    EXPECT_EQ(sim().shipBody->getTransform().position, start);
    EXPECT_GT(std::fabs(glm::dot(sim().shipBody->getTransform().orientation, launched)), 0.99999f);
    race.step();
    EXPECT_EQ(log.order,
              (std::vector<std::string>{"restart", "touched 0", "clock", "accepted 0", "started"}));
    EXPECT_EQ(sim().race.bestTime, 50.0f);
    EXPECT_EQ(sim().nextZone(), 1u);
}

// Within 7 units of the course the bonus is whole; it falls off evenly to none at 44.5.
TEST(SpeedBonus, FallsOffBetweenSevenAnd44AndAHalfUnitsByTheDifficulty) {
    const std::pair<Difficulty, float> factors[] = {
        {Difficulty::easy, 0.5f}, {Difficulty::medium, 2.5f}, {Difficulty::hard, 5.0f}};
    for (const auto& [difficulty, full] : factors) {
        EXPECT_FLOAT_EQ(speedFactorFor(difficulty, 0.0f), 1.0f + full);
        EXPECT_FLOAT_EQ(speedFactorFor(difficulty, 7.0f), 1.0f + full);
        EXPECT_FLOAT_EQ(speedFactorFor(difficulty, 25.75f), 1.0f + full / 2.0f);  // half-way
        EXPECT_FLOAT_EQ(speedFactorFor(difficulty, 44.5f), 1.0f);
        EXPECT_FLOAT_EQ(speedFactorFor(difficulty, 1000.0f), 1.0f);
        float before = speedFactorFor(difficulty, 7.0f);
        for (float d = 8.0f; d <= 44.0f; d += 1.0f) {
            const float bonus = speedFactorFor(difficulty, d);
            EXPECT_LT(bonus, before) << d;
            before = bonus;
        }
    }
}

// A whole round by the autopilot, and every line the console says about it, byte for byte as
// the saved copy (tests/game/race/reference/round-lines.txt; to make it anew, run this test with
// DRIFTLINE_WRITE_ROUND_LINES set and look at the difference before committing it). The
// demo flies the same simulation with the same pilot, so its race lines are these.
TEST_F(RaceSimulationTest, TheAutopilotsRoundSaysWhatTheSavedCopySays) {
    std::ostringstream lines;
    RaceConsole console(lines);
    sim().race.addObserver(&console);
    Autopilot pilot = autopilotFor(sim());
    while (race.steps < kStepLimit && sim().race.roundsFinished == 0) {
        race.step();
        pilot.step(sim().nextZone());
    }
    ASSERT_EQ(sim().race.roundsFinished, 1u) << lines.str();
    // The clock starts in the very first step, inside zone 0, and the round lasts exactly the
    // steps it took, whatever the machine.
    ASSERT_EQ(log.clockStarts, std::vector<float>{0.0f});
    ASSERT_EQ(log.rounds.size(), 1u);
    EXPECT_NEAR(log.rounds[0].time, float(race.steps - 1) * kFixedStep, 1e-3f);
    EXPECT_EQ(log.rounds[0].splits.size(), 10u);

    const std::filesystem::path saved =
        std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "tests/game/race/reference/round-lines.txt";
    if (std::getenv("DRIFTLINE_WRITE_ROUND_LINES") != nullptr) {
        std::ofstream(saved, std::ios::binary) << lines.str();
    }
    EXPECT_EQ(lines.str(), test::readFile(saved));
    sim().race.removeObserver(&console);
}

// Records across runs, each run a fresh simulation: a round beating the kept record (or none)
// is written, a faster record on file is the reference from the start and stays byte for byte,
// and a broken file is moved aside.
TEST(RaceRecords, AreKeptAcrossRunsAndABrokenFileIsMovedAside) {
    test::TempFolder folder;
    const auto fly = [&folder](std::ostream& console) {
        HeadlessRace race;
        RecordKeeper keeper(folder.path(), race.simulation.race, console);
        race.simulation.race.addObserver(&keeper);
        const std::optional<RaceRecord> atStart = keeper.record();
        Autopilot pilot = autopilotFor(race.simulation);
        while (race.steps < kStepLimit && race.simulation.race.roundsFinished == 0) {
            race.step();
            pilot.step(race.simulation.nextZone());
        }
        return std::make_pair(atStart, race.simulation.race.bestTime);
    };
    std::ostringstream console;
    const auto [noRecord, firstRound] = fly(console);
    EXPECT_FALSE(noRecord);
    ASSERT_GT(firstRound, 0.0f);
    std::string problem;
    const auto written = parseRecord(test::readFile(folder.path() / "records.ini"), 10, problem);
    ASSERT_TRUE(written) << problem;
    EXPECT_NEAR(written->bestTime, firstRound, 0.001f);

    RaceRecord faster = *written;
    for (float& split : faster.splits) {
        split *= 0.5f;
    }
    faster.bestTime = faster.splits.back();
    const std::string kept = formatRecord(faster);
    folder.write("records.ini", kept);
    const auto [fasterRecord, slowerRound] = fly(console);
    ASSERT_TRUE(fasterRecord);
    EXPECT_NEAR(fasterRecord->bestTime, faster.bestTime, 0.001f);
    EXPECT_GT(slowerRound, faster.bestTime);
    EXPECT_EQ(test::readFile(folder.path() / "records.ini"), kept);
    EXPECT_EQ(console.str(), "");

    folder.write("records.ini", "[Records\nnot a record at all");
    std::ostringstream said;
    HeadlessRace race;
    const RecordKeeper keeper(folder.path(), race.simulation.race, said);
    EXPECT_FALSE(keeper.record());
    EXPECT_NE(said.str().find("moved aside as"), std::string::npos) << said.str();
    EXPECT_EQ(test::readFile(folder.path() / "records.ini.bad"), "[Records\nnot a record at all");
}

}  // namespace
}  // namespace kes
