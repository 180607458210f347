// Ghosts: a round recorded step by step, its file, what a broken file is, the ghost kept across
// runs, and the proof of a round: its controls flown again give the same time, and a ghost
// with one control changed or its time edited does not.
#include "game/ghost/Ghost.hpp"

#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>

#include <gtest/gtest.h>

#include "game/course/CourseSeed.hpp"
#include "game/race/FigureText.hpp"
#include "game/race/RecordKeeper.hpp"

#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/GhostKeeper.hpp"
#include "game/level/GhostShip.hpp"
#include "game/ghost/Reflight.hpp"
#include "game/ghost/ReplayJudge.hpp"
#include "support/FlyRace.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::TempFolder;

// A round flown by the autopilot by fixed steps, recorded.
struct RecordedRound {
    explicit RecordedRound(Course course = firstCourse())
        : race(std::move(course)), recorder(race.simulation.course) {
        race.simulation.race.addObserver(&recorder);
        race.simulation.recorder = &recorder;
        testing::internal::CaptureStdout();
        Autopilot pilot = autopilotFor(race.simulation);
        while (!recorder.lastRound() && race.steps < 60 * 300) {
            race.step();
            pilot.step(race.simulation.nextZone());
        }
        testing::internal::GetCapturedStdout();
    }
    test::HeadlessRace race;
    FlightRecorder recorder;
};

// Flies `ghost`'s controls from its start and says what the judge found.
std::string replay(const Ghost& ghost) {
    testing::internal::CaptureStdout();
    const Reflight flight = flyAgain(ghost, firstCourse());
    testing::internal::GetCapturedStdout();
    return flight.verdict;
}

const RecordedRound& firstRound() {
    static const RecordedRound round;
    return round;
}

TEST(GhostTest, ARecordedRoundFliesAgainToTheSameTimeAndAChangedOneDoesNot) {
    ASSERT_TRUE(firstRound().recorder.lastRound());
    const Ghost& ghost = *firstRound().recorder.lastRound();
    EXPECT_EQ(ghost.courseName, "prime-loop");
    EXPECT_EQ(ghost.round, 1u);
    EXPECT_TRUE(ghost.fromStart);
    EXPECT_NEAR(ghost.roundTime, 57.4667f, 1e-3f);
    EXPECT_EQ(ghost.splits.size(), 10u);
    // A sample every second step through the round, the finish last.
    EXPECT_EQ(ghost.samples.size(), (ghost.roundEndStep - ghost.roundStartStep) / 2 + 1);
    const std::string bytes = encodeGhost(ghost);
    EXPECT_LT(bytes.size(), 100u * 1024u);
    RecordProperty("ghost_bytes", std::to_string(bytes.size()));

    const GhostRead back = decodeGhost(bytes, "prime-loop", courseHash(firstCourse()));
    ASSERT_TRUE(back.ghost) << back.problem;
    EXPECT_EQ(encodeGhost(*back.ghost), bytes);
    EXPECT_EQ(replay(*back.ghost), "Replay reproduces round time 57.467 s");

    Ghost edited = *back.ghost;
    edited.roundTime = 50.0f;
    EXPECT_EQ(replay(edited), "Replay differs: finished in 57.467 s, recorded 50.000 s");

    // One control, a hundred steps into the round, held a little longer.
    Ghost changed = *back.ghost;
    for (ControlChange& change : changed.controls) {
        if (change.step > changed.roundStartStep + 100 && change.state.held != 0) {
            change.step += 20;
            break;
        }
    }
    const std::string verdict = replay(changed);
    EXPECT_EQ(verdict.rfind("Replay differs: ", 0), 0u) << verdict;
}

TEST(GhostTest, TheGhostStandsBetweenItsSamplesAndFadesNearThePlayer) {
    Ghost ghost;
    ghost.samples = {{{0, 0, 0}, glm::quat(1, 0, 0, 0)},
                     {{10, 0, 0}, glm::angleAxis(1.0f, glm::vec3(0, 1, 0))}};
    const GhostSample middle = ghost.at(1.0f / 60.0f);  // one step of the two between samples
    EXPECT_NEAR(middle.position.x, 5.0f, 1e-4f);
    EXPECT_NEAR(glm::angle(middle.orientation), 0.5f, 1e-4f);
    EXPECT_EQ(ghost.at(10.0f).position, glm::vec3(10, 0, 0));
    EXPECT_EQ(ghost.at(-1.0f).position, glm::vec3(0, 0, 0));
    ghost.controls = {{5, {1, {}}}, {9, {3, {}}}};
    EXPECT_EQ(ghost.controlsAt(4).held, 0);
    EXPECT_EQ(ghost.controlsAt(5).held, 1);
    EXPECT_EQ(ghost.controlsAt(8).held, 1);
    EXPECT_EQ(ghost.controlsAt(900).held, 3);
    EXPECT_EQ(ghostOpacityAt(0.4f, 2.0f), 0.0f);
    EXPECT_EQ(ghostOpacityAt(0.4f, 100.0f), 0.4f);
    EXPECT_GT(ghostOpacityAt(0.4f, 15.0f), 0.0f);
}

// Rewrites the checksum after a change made on purpose.
std::string withChecksum(std::string bytes) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < bytes.size() - 4; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 16777619u;
    }
    for (int i = 0; i < 4; ++i) {
        bytes[bytes.size() - 4 + i] = static_cast<char>(hash >> (8 * i));
    }
    return bytes;
}

TEST(GhostTest, BytesThatAreNoGhostOfThisCourseSayWhy) {
    const std::string good = encodeGhost(*firstRound().recorder.lastRound());
    const std::uint64_t hash = courseHash(firstCourse());
    const auto problem = [&](const std::string& bytes) {
        const GhostRead read = decodeGhost(bytes, "prime-loop", hash);
        EXPECT_FALSE(read.ghost);
        return read.problem;
    };
    EXPECT_EQ(problem(""), "is empty");
    EXPECT_EQ(problem("not a ghost at all, just words"), "is not a ghost file");
    EXPECT_EQ(problem(good.substr(0, good.size() / 2)),
              "has a bad checksum (cut short or changed)");
    std::string flipped = good;
    flipped[200] = static_cast<char>(flipped[200] ^ 0x40);
    EXPECT_EQ(problem(flipped), "has a bad checksum (cut short or changed)");
    std::string future = good;
    future[8] = 3;
    EXPECT_EQ(problem(future), "is of ghost format 3; this game reads 1 to 2");
    EXPECT_EQ(decodeGhost(good, "tight-knot", hash).problem,
              "is the ghost of another course (prime-loop)");
    EXPECT_EQ(decodeGhost(good, "prime-loop", hash + 1).problem,
              "is the ghost of another version of this course");
    // A sample count of four billion, the checksum made right: refused before anything is made.
    std::string greedy = good;
    const Ghost& round = *firstRound().recorder.lastRound();
    // After the samples: the player's name and the start (clock, race clock, ship, rocks).
    const std::size_t tail =
        4 + round.playerName.size() + 8 + 4 + 28 + 4 + 40 * round.start->rocks.size();
    const std::size_t countAt = good.size() - 4 - tail - 28 * round.samples.size() - 4;
    for (std::size_t i = 0; i < 4; ++i) {
        greedy[countAt + i] = static_cast<char>(0xEE);
    }
    EXPECT_EQ(problem(withChecksum(greedy)), "holds counts its size does not allow");
}

// A ghost whose parts disagree, checksum made right, is refused before it is drawn or flown: a
// flight relabelled as faster, splits that do not end at the time, round 0, a round ending
// four billion steps in, control strengths no stick gives, samples its steps do not give.
TEST(GhostTest, AGhostWhosePartsDisagreeIsRefused) {
    const Ghost& good = *firstRound().recorder.lastRound();
    const std::uint64_t hash = courseHash(firstCourse());
    const auto problem = [&](const std::function<void(Ghost&)>& change) {
        Ghost ghost = good;
        change(ghost);
        const GhostRead read = decodeGhost(encodeGhost(ghost), "prime-loop", hash);
        EXPECT_FALSE(read.ghost);
        return read.problem;
    };
    EXPECT_EQ(problem([](Ghost& g) {
                  g.roundTime = 1.0f;
                  for (float& split : g.splits) {
                      split /= 57.0f;
                  }
              }),
              "has a round time that its steps do not give");
    EXPECT_EQ(problem([](Ghost& g) { g.splits.back() -= 1.0f; }),
              "has a last split other than its round time");
    EXPECT_EQ(problem([](Ghost& g) { std::swap(g.splits[2], g.splits[3]); }),
              "has splits that do not rise");
    EXPECT_EQ(problem([](Ghost& g) { g.round = 0; }), "holds no round");
    EXPECT_EQ(problem([](Ghost& g) {
                  const std::uint32_t steps = g.roundEndStep - g.roundStartStep;
                  g.roundEndStep = 0xFFFFFDA7u;
                  g.roundStartStep = g.roundEndStep - steps;
              }),
              "ends its round more than a day into its flight");
    EXPECT_EQ(problem([](Ghost& g) { g.samples.resize(g.samples.size() / 2); }),
              "has samples that its steps do not give");
    EXPECT_EQ(problem([](Ghost& g) {
                  g.start->rocks[1].velocity.x = std::numeric_limits<float>::quiet_NaN();
              }),
              "has a start that is no place");
    EXPECT_EQ(problem([](Ghost& g) { g.start->shipOrientation.w = 3.0f; }),
              "has a start that is no place");
    EXPECT_EQ(problem([](Ghost& g) { g.playerName = "Ada\x1b[2J"; }),
              "has a player's name that is no name");
    for (const float hostile : {std::numeric_limits<float>::quiet_NaN(), 3e38f, -3e38f, -0.5f, 1.5f,
                                std::numeric_limits<float>::infinity()}) {
        EXPECT_EQ(problem([&](Ghost& g) {
                      g.controls[g.controls.size() / 2].state.strengths[3] = hostile;
                  }),
                  "has a control strength outside 0 to 1.414")
            << hostile;
    }
    // A stick pushed into a corner is no hostile value.
    Ghost corner = good;
    corner.controls.front().state.strengths.fill(1.41421f);
    EXPECT_TRUE(decodeGhost(encodeGhost(corner), "prime-loop", hash).ghost);
}

// Every round of a flight has its ghost, not only the first: the second round, recorded from
// the step the first ended, flies again to its own time.
TEST(GhostTest, TheSecondRoundOfAFlightHasAGhostThatFliesAgain) {
    RecordedRound flight;
    Autopilot pilot = autopilotFor(flight.race.simulation);
    testing::internal::CaptureStdout();
    while (flight.recorder.lastRound()->round < 2 && flight.race.steps < 60 * 400) {
        flight.race.step();
        pilot.step(flight.race.simulation.nextZone());
    }
    testing::internal::GetCapturedStdout();
    const Ghost& second = *flight.recorder.lastRound();
    ASSERT_EQ(second.round, 2u);
    EXPECT_EQ(second.roundStartStep, firstRound().recorder.lastRound()->roundEndStep);
    const GhostRead back =
        decodeGhost(encodeGhost(second), "prime-loop", courseHash(firstCourse()));
    ASSERT_TRUE(back.ghost) << back.problem;
    EXPECT_EQ(replay(*back.ghost),
              "Replay reproduces round time " + threeDecimals(second.roundTime) + " s");
}

// A round flown after a restart starts mid-run: the asteroids stand elsewhere and swing in
// another phase, and the clocks have gone on. Its ghost holds that start, so it flies again
// to its time from a fresh simulation, through its file; a format 1 file of it (no start)
// is still read and drawn, but cannot be flown.
TEST(GhostTest, ARoundFlownAfterARestartFliesAgainFromItsStoredStart) {
    test::HeadlessRace race;
    FlightRecorder recorder(race.simulation.course);
    race.simulation.race.addObserver(&recorder);
    race.simulation.recorder = &recorder;
    Autopilot pilot = autopilotFor(race.simulation);
    testing::internal::CaptureStdout();
    for (int step = 0; step < 60 * 7 + 13; ++step) {
        race.step();
        pilot.step(race.simulation.nextZone());
    }
    pilot.releaseAll();
    race.simulation.restart();
    // A countdown's hold: the steps begin (the clock and the swing go on) but nothing moves.
    for (int held = 0; held < 180; ++held) {
        race.simulation.beginStep();
    }
    while (!recorder.lastRound() && race.steps < 60 * 300) {
        race.step();
        pilot.step(race.simulation.nextZone());
    }
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(recorder.lastRound());
    const Ghost& ghost = *recorder.lastRound();
    ASSERT_TRUE(ghost.start);
    EXPECT_FALSE(ghost.fromStart);
    EXPECT_EQ(ghost.start->clockStep, 60u * 7 + 13 + 180);
    // The rocks had swung away from where a fresh course places them.
    EXPECT_GT(glm::distance(ghost.start->rocks.front().position,
                            test::HeadlessRace().simulation.flightStart().rocks.front().position),
              1.0f);
    const GhostRead back = decodeGhost(encodeGhost(ghost), "prime-loop", courseHash(firstCourse()));
    ASSERT_TRUE(back.ghost) << back.problem;
    EXPECT_EQ(replay(*back.ghost),
              "Replay reproduces round time " + threeDecimals(ghost.roundTime) + " s");
    // Flown from a fresh start instead, the same controls meet other rocks at other times.
    Ghost unanchored = *back.ghost;
    unanchored.start.reset();
    unanchored.fromStart = true;
    EXPECT_NE(replay(unanchored).rfind("Replay differs", 0), std::string::npos);
    Ghost older = *back.ghost;
    older.start.reset();
    const GhostRead olderBack =
        decodeGhost(encodeGhost(older), "prime-loop", courseHash(firstCourse()));
    ASSERT_TRUE(olderBack.ghost) << olderBack.problem;
    EXPECT_EQ(olderBack.ghost->format, 1u);
    EXPECT_FALSE(olderBack.ghost->flyable());
    EXPECT_EQ(replay(*olderBack.ghost), "its flight began after a restart and it holds no start");
}

// Where records are kept, a round's ghost replaces the record's only when the records file
// holds that round as the record after its save: not when the file could not be read this run
// (every round then beats "no record"), and not when another running copy kept a faster one.
TEST(GhostTest, ASlowRoundNeverReplacesTheRecordsGhost) {
    const Ghost& recorded = *firstRound().recorder.lastRound();
    Ghost slow = recorded;
    slow.gameVersion = "slow";
    const RoundResult slowRound{1, 70.0f, true, true, {1, 2, 3, 4, 5, 6, 7, 8, 9, 70}};
    const auto ghostBytes = encodeGhost(recorded);
    std::ostringstream console;
    {
        const TempFolder folder;
        std::filesystem::create_directory(folder.path() / "records.ini");
        folder.write("prime-loop.ghost", ghostBytes);
        RaceState race;
        RecordKeeper records(folder.path(), race, console);
        GhostKeeper ghosts(folder.path(), firstCourse(), console);
        RoundResult result = slowRound;
        records.onRoundFinished(result);
        ghosts.roundFinished(slow, result, &records);
        EXPECT_EQ(test::readFile(folder.path() / "prime-loop.ghost"), ghostBytes);
        EXPECT_EQ(ghosts.shown(GhostSetting::record)->gameVersion, recorded.gameVersion);
        EXPECT_EQ(ghosts.shown(GhostSetting::best)->gameVersion, "slow");
    }
    {
        const TempFolder folder;
        folder.write("prime-loop.ghost", ghostBytes);
        RaceState race;
        RecordKeeper records(folder.path(), race, console);
        GhostKeeper ghosts(folder.path(), firstCourse(), console);
        // Another copy keeps a faster record after this one read the file.
        RaceRecord faster{recorded.roundTime, recorded.splits};
        folder.write("records.ini", formatRecord(faster));
        RoundResult result = slowRound;
        records.onRoundFinished(result);
        ghosts.roundFinished(slow, result, &records);
        EXPECT_EQ(test::readFile(folder.path() / "prime-loop.ghost"), ghostBytes);
        EXPECT_FLOAT_EQ(records.record()->bestTime, recorded.roundTime);
        // A round that is the record on file is written.
        RoundResult fastest = result;
        fastest.time = 40.0f;
        fastest.splits.back() = 40.0f;
        records.onRoundFinished(fastest);
        ghosts.roundFinished(slow, fastest, &records);
        EXPECT_EQ(test::readFile(folder.path() / "prime-loop.ghost"), encodeGhost(slow));
    }
}

// A seeded course's ghost and a player's course named like its old file name ("seed:N" and
// "seed-N" both wrote "seed-N.ghost") each keep their own: the seed's ghost found under the old
// name is neither moved aside as broken nor lost, and each course writes its own file.
TEST(GhostTest, ASeedAndACourseNamedLikeItKeepTheirOwnGhosts) {
    std::uint32_t seed = 1;
    while (courseFromSeed(seed).zones.count != 10) {
        ++seed;
    }
    Course seeded = courseFromSeed(seed);
    Course players = firstCourse();
    players.name = "seed-" + std::to_string(seed);
    Ghost seedsGhost = *firstRound().recorder.lastRound();
    seedsGhost.courseName = seeded.name;
    seedsGhost.courseHash = courseHash(seeded);
    Ghost playersGhost = *firstRound().recorder.lastRound();
    playersGhost.courseName = players.name;
    playersGhost.courseHash = courseHash(players);
    const TempFolder folder;
    const std::string oldName = "seed-" + std::to_string(seed) + ".ghost";
    folder.write(oldName, encodeGhost(seedsGhost));
    std::ostringstream console;
    {
        GhostKeeper player(folder.path(), players, console);
        EXPECT_EQ(player.shown(GhostSetting::record), nullptr);
        player.roundFinished(playersGhost, true, true);
    }
    GhostKeeper seedKeeper(folder.path(), seeded, console);
    ASSERT_NE(seedKeeper.shown(GhostSetting::record), nullptr);
    EXPECT_EQ(seedKeeper.shown(GhostSetting::record)->courseName, seeded.name);
    seedKeeper.roundFinished(seedsGhost, true, true);
    GhostKeeper playerAgain(folder.path(), players, console);
    ASSERT_NE(playerAgain.shown(GhostSetting::record), nullptr);
    EXPECT_EQ(playerAgain.shown(GhostSetting::record)->courseName, players.name);
    EXPECT_EQ(console.str(), "");
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().string().find(".bad"), std::string::npos) << entry.path();
    }
    EXPECT_EQ(seedKeeper.path().filename(), "seed." + std::to_string(seed) + ".ghost");
}

// The record's ghost is written beside the records and read back in the next run; a broken
// file is moved aside, never over an earlier one; one that cannot be read is left alone.
TEST(GhostTest, TheRecordsGhostIsKeptAcrossRunsAndABrokenFileMovedAside) {
    const TempFolder folder;
    const Ghost& round = *firstRound().recorder.lastRound();
    std::ostringstream console;
    {
        GhostKeeper keeper(folder.path(), firstCourse(), console);
        EXPECT_EQ(keeper.shown(GhostSetting::record), nullptr);
        keeper.roundFinished(round, true, false);
        EXPECT_NE(keeper.shown(GhostSetting::best), nullptr);
        EXPECT_EQ(keeper.shown(GhostSetting::record), nullptr);
        EXPECT_FALSE(std::filesystem::exists(keeper.path()));
        keeper.roundFinished(round, true, true);
        EXPECT_EQ(keeper.path().filename(), "prime-loop.ghost");
        EXPECT_TRUE(std::filesystem::exists(keeper.path()));
    }
    const GhostKeeper next(folder.path(), firstCourse(), console);
    ASSERT_NE(next.shown(GhostSetting::record), nullptr);
    EXPECT_EQ(next.shown(GhostSetting::record)->roundTime, round.roundTime);
    EXPECT_EQ(next.shown(GhostSetting::off), nullptr);
    EXPECT_EQ(console.str(), "");

    folder.write("prime-loop.ghost.bad", "an earlier one");
    folder.write("prime-loop.ghost", "broken");
    const GhostKeeper broken(folder.path(), firstCourse(), console);
    EXPECT_EQ(broken.shown(GhostSetting::record), nullptr);
    EXPECT_NE(console.str().find("prime-loop.ghost is not a ghost file; moved aside as"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(test::readFile(folder.path() / "prime-loop.ghost.bad.1"), "broken");
    EXPECT_EQ(test::readFile(folder.path() / "prime-loop.ghost.bad"), "an earlier one");

    // Another course's ghost in this course's file: refused the same way.
    Course other = firstCourse();
    other.name = "seed:7";
    folder.write("seed.7.ghost", encodeGhost(round));
    std::ostringstream said;
    const GhostKeeper wrong(folder.path(), other, said);
    EXPECT_NE(said.str().find("is the ghost of another course (prime-loop)"), std::string::npos);
}

}  // namespace
}  // namespace kes
