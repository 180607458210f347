// Where the level's zones and asteroids stand, for the real course and for courses whose
// mid-point count is not a multiple of ten.
#include "game/level/LevelLayout.hpp"

#include <cmath>

#include <gtest/gtest.h>

namespace kes {
namespace {

TEST(LevelLayout, TenZonesAndTenAsteroidsOnAnyCourseNeverPastItsEnd) {
    const std::vector<std::size_t> zones = level::zoneMidPoints(460);
    ASSERT_EQ(zones.size(), 10u);
    EXPECT_EQ(zones[1], 46u);
    EXPECT_EQ(zones[9], 414u);
    EXPECT_EQ(level::asteroidMidPoints(460).front(), 28u);
    EXPECT_EQ(level::asteroidMidPoints(460).back(), 442u);
    for (const std::size_t count : {10u, 11u, 19u, 465u, 469u, 1001u}) {
        const auto zoneMids = level::zoneMidPoints(count);
        EXPECT_EQ(zoneMids.size(), 10u) << count;  // never an eleventh
        for (const std::size_t k : zoneMids) {
            EXPECT_LT(k, count);
        }
        for (const std::size_t k : level::asteroidMidPoints(count)) {
            EXPECT_LT(k, count);
        }
    }
    EXPECT_TRUE(level::zoneMidPoints(9).empty());  // too short a course for ten zones
}

// The last mid point faces the first: a zone there never reads past the end.
TEST(LevelLayout, TheLastZoneFacesTheFirstMidPoint) {
    std::vector<PathMidPoint> mids(3);
    mids[0].position = {0, 0, 0};
    mids[1].position = {3, 9, 1};
    mids[2].position = {-4, 7, 2};
    std::vector<PathMidPoint> closed = mids;
    closed.push_back(mids[0]);  // the same course with its first point written again
    const glm::quat last = level::zoneOrientation(mids, 2);
    const glm::quat expected = level::zoneOrientation(closed, 2);
    EXPECT_NEAR(std::fabs(glm::dot(last, expected)), 1.0f, 1e-6f);
    EXPECT_NEAR(glm::length(last), 1.0f, 1e-6f);
}

}  // namespace
}  // namespace kes
