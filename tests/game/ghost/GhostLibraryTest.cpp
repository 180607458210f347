// Importing ghosts: a genuine ghost of any round (the first of a flight, or one flown after a
// restart) is proven by flying it again and kept; every other is refused with its reason and
// nothing is written: its time edited (the checksum made right), a course the game does not
// have or has in another version, a file cut short, an older or a newer format. The course's
// table lists the proven ghosts, fastest first.
#include "game/ghost/GhostLibrary.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "game/race/FigureText.hpp"
#include "game/race/HeadlessRace.hpp"
#include "platform/Files.hpp"
#include "support/Flights.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

Course tightKnot(const CourseLibrary& courses) {
    return *courses.find("tight-knot");
}

TEST(GhostLibrary, AGenuineGhostIsKeptAndEveryOtherRefusedWithItsReason) {
    const std::filesystem::path assets = std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets";
    std::ostringstream console;
    const CourseLibrary courses(assets / "courses", {}, console);
    const Course knot = tightKnot(courses);
    const Ghost prime = *flyPrimeRound(knot);
    const Ghost afterRestart = test::roundAfterRestart(knot, "Ada", 360);
    test::TempFolder files;
    test::TempFolder kept;
    GhostLibrary library(kept.path() / "ghosts", console);
    const auto import = [&](const std::string& name, const std::string& bytes) {
        return library.importFile(files.write(name, bytes), courses);
    };

    Ghost edited = afterRestart;  // 0.3 s less in every part of the file that says it
    edited.roundTime -= 0.3f;
    edited.splits.back() -= 0.3f;
    edited.roundEndStep -= 18;
    edited.samples.resize(edited.samples.size() - 9);
    Ghost elsewhere = prime;
    elsewhere.courseName = "knot-of-another";
    Ghost older = prime;
    older.courseHash ^= 1;
    Ghost formatOne = prime;
    formatOne.start.reset();
    std::string newer = encodeGhost(prime);
    newer[8] = 3;
    const std::string whole = encodeGhost(prime);
    const struct {
        const char* name;
        std::string bytes;
        std::string line;
    } refusals[] = {
        {"edited.ghost", encodeGhost(edited),
         "Not imported: the flight finishes in " + threeDecimals(afterRestart.roundTime) +
             " s, the file says " + threeDecimals(edited.roundTime) + " s"},
        {"elsewhere.ghost", encodeGhost(elsewhere),
         "Not imported: the course knot-of-another is not here"},
        {"older-course.ghost", encodeGhost(older),
         "Not imported: the ghost is of another version of the course Tight Knot"},
        {"cut.ghost", whole.substr(0, whole.size() / 3),
         "Not imported: the file has a bad checksum (cut short or changed)"},
        {"format-one.ghost", encodeGhost(formatOne),
         "Not imported: the file is of ghost format 1, which keeps no start to fly it again "
         "from; this game imports format 2"},
        {"newer.ghost", newer,
         "Not imported: the file is of ghost format 3; this game reads 1 to 2"},
    };
    for (const auto& refusal : refusals) {
        const GhostLibrary::Import result = import(refusal.name, refusal.bytes);
        EXPECT_FALSE(result.kept) << refusal.name;
        EXPECT_EQ(result.line, refusal.line) << refusal.name;
    }
    EXPECT_FALSE(std::filesystem::exists(kept.path() / "ghosts"));

    for (const Ghost* genuine : {&afterRestart, &prime}) {
        const GhostLibrary::Import result = import("genuine.ghost", encodeGhost(*genuine));
        EXPECT_TRUE(result.kept) << result.line;
        EXPECT_TRUE(std::filesystem::exists(result.path));
    }
    EXPECT_EQ(import("again.ghost", encodeGhost(prime)).line,
              "Imported ghost of Tight Knot by Prime: 23.717 s, verified");
    const std::vector<Ghost>& table = library.of(knot);
    ASSERT_EQ(table.size(), 2u);  // the same file twice is kept once
    EXPECT_LE(table[0].roundTime, table[1].roundTime);
    EXPECT_EQ(table[0].playerName + table[1].playerName,
              afterRestart.roundTime < prime.roundTime ? "AdaPrime" : "PrimeAda");
    EXPECT_TRUE(library.of(*courses.find("prime-loop")).empty());
    EXPECT_EQ(console.str(), "");
}

// A file put into the folder by hand is flown before it is listed: one that does not fly to
// its time is said once and left where it is.
TEST(GhostLibrary, AFileDroppedIntoTheFolderIsListedOnlyWhenItFliesToItsTime) {
    const std::filesystem::path assets = std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets";
    std::ostringstream console;
    const CourseLibrary courses(assets / "courses", {}, console);
    const Course knot = tightKnot(courses);
    Ghost forged = *flyPrimeRound(knot);
    forged.controls[forged.controls.size() / 2].state.held ^= 1;  // one change flipped
    test::TempFolder kept;
    const std::filesystem::path dropped =
        kept.write("tight-knot-forged.ghost", encodeGhost(forged));
    GhostLibrary library(kept.path(), console);
    EXPECT_TRUE(library.of(knot).empty());
    EXPECT_TRUE(library.of(knot).empty());
    EXPECT_EQ(console.str(), "The ghost file " + dropped.string() +
                                 " does not fly again to its time; it is not listed\n");
    EXPECT_TRUE(std::filesystem::exists(dropped));
}

}  // namespace
}  // namespace kes
