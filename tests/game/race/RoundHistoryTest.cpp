// The round history: each round one line, appended behind a header, read back as written; a
// damaged file (a line cut short by a crash, a hand edit, a stray formula) loses only its
// broken lines, said in one line, and rounds are still added to it; past its bound the oldest
// rounds go; the statistics of a course count only its own rounds.
#include "game/race/RoundHistory.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

HistoryEntry round(float time, std::vector<float> splits, const std::string& course = "tight-knot",
                   std::uint64_t hash = 0x5f0c4d9a1b2e3f47ull) {
    return {
        "2026-12-10T03:12:45Z", course, hash, time, std::move(splits), Medal::gold, 1, 2, "0.9.0"};
}

TEST(RoundHistory, RoundsAreAppendedReadBackAndBounded) {
    test::TempFolder folder;
    std::ostringstream console;
    {
        RoundHistory history(folder.path(), console);
        history.append(round(24.35f, {10.0f, 24.35f}));
        history.append(round(23.9f, {9.5f, 23.9f}));
    }
    EXPECT_EQ(test::readFile(folder.path() / "history.csv"),
              std::string(RoundHistory::kHeader) +
                  "2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,24.350,10.000;24.350,gold,1,2,"
                  "0.9.0\n"
                  "2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,23.900,9.500;23.900,gold,1,2,"
                  "0.9.0\n");
    RoundHistory again(folder.path(), console);
    ASSERT_EQ(again.entries().size(), 2u);
    EXPECT_FLOAT_EQ(again.entries()[1].time, 23.9f);
    EXPECT_EQ(again.entries()[1].medal, Medal::gold);
    EXPECT_EQ(console.str(), "");

    // Ten rounds at most: the eleventh drops the oldest two, the file written whole.
    test::TempFolder small;
    RoundHistory bounded(small.path(), console, 10);
    for (int i = 1; i <= 11; ++i) {
        bounded.append(round(float(i), {float(i)}));
    }
    RoundHistory reread(small.path(), console);
    ASSERT_EQ(reread.entries().size(), 9u);
    EXPECT_FLOAT_EQ(reread.entries().front().time, 3.0f);
    EXPECT_FLOAT_EQ(reread.entries().back().time, 11.0f);
}

TEST(RoundHistory, ADamagedFileLosesOnlyItsBrokenLinesAndIsKept) {
    test::TempFolder folder;
    const std::string good =
        "2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,24.350,10.000;24.350,gold,1,2,0.9.0\n";
    const std::string text = std::string(RoundHistory::kHeader) + good +
                             "=HYPERLINK(\"http://x\"),tight-knot,5f0c4d9a1b2e3f47,1,1,,0,0,0\n" +
                             good +
                             "2026-12-10T03:12:45Z,tight-knot,5f0c4d9a1b2e3f47,nan,1,,0,0,x\n" +
                             good + good.substr(0, 40);  // the last write cut short
    folder.write("history.csv", text);
    std::ostringstream console;
    RoundHistory history(folder.path(), console);
    EXPECT_EQ(history.entries().size(), 3u);
    EXPECT_EQ(console.str(), "The round history " + (folder.path() / "history.csv").string() +
                                 " has 3 broken line(s), the first at line 3; they are skipped "
                                 "and the file kept\n");
    history.append(round(20.0f, {20.0f}));
    EXPECT_EQ(test::readFile(folder.path() / "history.csv").substr(0, text.size()), text);
    // The new round goes on a line of its own after the cut one, never joined to it.
    RoundHistory again(folder.path(), console);
    ASSERT_EQ(again.entries().size(), 4u);
    EXPECT_FLOAT_EQ(again.entries().back().time, 20.0f);
}

TEST(RoundHistory, StatisticsCountACoursesOwnRoundsAndSumItsBestSections) {
    const std::vector<HistoryEntry> entries = {
        round(30.0f, {10.0f, 30.0f}), round(28.0f, {12.0f, 28.0f}),
        round(20.0f, {5.0f, 20.0f}, "prime-loop"), round(10.0f, {5.0f, 10.0f}, "tight-knot", 1)};
    const CourseStatistics stats = statisticsOf(entries, "tight-knot", 0x5f0c4d9a1b2e3f47ull);
    EXPECT_EQ(stats.rounds, 2u);
    EXPECT_DOUBLE_EQ(stats.secondsFlown, 58.0);
    EXPECT_FLOAT_EQ(stats.record, 28.0f);
    EXPECT_FLOAT_EQ(stats.bestSections,
                    10.0f + 16.0f);  // the first section of one, the second of the other
    EXPECT_EQ(stats.times, (std::vector<float>{30.0f, 28.0f}));
    EXPECT_EQ(statisticsOf(entries, "long-haul", 0).rounds, 0u);
}

}  // namespace
}  // namespace kes
