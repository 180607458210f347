// The prime round: the autopilot's round flown headless is the same every time, it is the
// round the race itself gives, it is a ghost that flies again, and the keeper flies a course
// once, keeping the round by the course's hash (a round of another game version is flown
// again).
#include "game/ghost/PrimeRound.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include "game/course/CourseSeed.hpp"
#include "game/ghost/Reflight.hpp"
#include "platform/Files.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

TEST(PrimeRound, IsTheSameEachTimeFliesAgainAndIsKeptByTheCoursesHash) {
    testing::internal::CaptureStdout();
    const Course seeded = courseFromSeed(90210);
    const std::optional<Ghost> first = flyPrimeRound(seeded);
    const std::optional<Ghost> second = flyPrimeRound(seeded);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(encodeGhost(*first), encodeGhost(*second));
    EXPECT_EQ(first->playerName, "Prime");
    EXPECT_TRUE(flyAgain(*first, seeded).reproduced);

    test::TempFolder folder;
    std::ostringstream console;
    TargetKeeper keeper(folder.path(), console);
    ASSERT_TRUE(keeper.targets(seeded));
    EXPECT_FLOAT_EQ(keeper.targets(seeded)->prime, first->roundTime);
    const std::filesystem::path kept = folder.path() / (hashText(courseHash(seeded)) + ".ghost");
    ASSERT_TRUE(std::filesystem::exists(kept));

    // A second run reads the kept round instead of flying (the name marks it as read)...
    Ghost marked = *first;
    marked.playerName = "Kept";
    ASSERT_TRUE(writeFileAtomically(kept, encodeGhost(marked)).written());
    TargetKeeper again(folder.path(), console);
    ASSERT_NE(again.primeRound(seeded), nullptr);
    EXPECT_EQ(again.primeRound(seeded)->playerName, "Kept");
    // ... but a round another version of the game flew is flown anew and replaced.
    marked.gameVersion = "0.1";
    ASSERT_TRUE(writeFileAtomically(kept, encodeGhost(marked)).written());
    TargetKeeper newer(folder.path(), console);
    EXPECT_EQ(newer.primeRound(seeded)->playerName, "Prime");
    EXPECT_EQ(test::readFile(kept), encodeGhost(*first));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(console.str(), "");
}

}  // namespace
}  // namespace kes
