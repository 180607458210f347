// The guide arrow: shown while the next zone is out of view or the ship is off the course,
// above the ship and pointing at the zone.
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>

#include "game/level/GameLayer.hpp"

namespace kes {
namespace {

TEST(WayFinding, TheArrowPointsAtTheZoneWhileItIsOutOfViewOrTheShipOffCourse) {
    // A camera at the origin looking down -z.
    const glm::mat4 viewProj =
        glm::perspective(glm::radians(90.0f), 1.0f, 0.1f, 1000.0f) *
        glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    const glm::vec3 up{0.0f, 1.0f, 0.0f};
    const glm::vec3 ship{0.0f, 0.0f, -10.0f};
    const glm::vec3 ahead{0.0f, 0.0f, -200.0f};
    const glm::vec3 behind{0.0f, 0.0f, 200.0f};
    const glm::vec3 aside{500.0f, 0.0f, -10.0f};

    EXPECT_FALSE(guideArrow(ship, ahead, viewProj, up, false));
    for (const glm::vec3& zone : {behind, aside}) {
        const auto arrow = guideArrow(ship, zone, viewProj, up, false);
        ASSERT_TRUE(arrow);
        EXPECT_NEAR(glm::length(arrow->direction), 1.0f, 1e-5f);
        // From where it stands it points at the zone, and it stands above the ship.
        EXPECT_GT(glm::dot(arrow->direction, glm::normalize(zone - arrow->position)), 0.99f);
        EXPECT_GT(arrow->position.y, ship.y);
        EXPECT_GT(arrow->scale, 0.0f);
    }
    // Off the course the arrow shows even with the zone in view.
    EXPECT_TRUE(guideArrow(ship, ahead, viewProj, up, true));
}

}  // namespace
}  // namespace kes
