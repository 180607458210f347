// The next ring's number: over the ring's middle in the ring's colour while the ring is in view,
// nothing when it is behind the camera or off the picture's edge.
#include "game/level/NextRing.hpp"

#include <gtest/gtest.h>
#include <glm/gtc/matrix_transform.hpp>

#include "game/level/RingPalette.hpp"
#include "platform/OpenGL.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

TEST(NextRing, TheNumberStandsOverTheRingWhileItIsInView) {
    openGL gl(320, 240, 0, false);
    TextRenderer text(DRIFTLINE_ASSETS_DIR, 96.0f);
    const glm::mat4 viewProj =
        glm::perspective(glm::radians(60.0f), 4.0f / 3.0f, 0.1f, 1000.0f) *
        glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, 0.0f, -1.0f), glm::vec3(0.0f, 1.0f, 0.0f));
    NextRingLook look;

    look.queueNumber(text, viewProj, 17, {2.0f, 1.0f, -10.0f});
    ASSERT_EQ(text.queued().size(), 2u);  // a shadow, then the number
    const TextEntry& number = text.queued()[1];
    EXPECT_EQ(number.text, u"17");
    const glm::vec4 clip = viewProj * glm::vec4(2.0f, 1.0f, -10.0f, 1.0f);
    EXPECT_NEAR(number.position.x, clip.x / clip.w, 1e-5f);
    EXPECT_NEAR(number.position.y, clip.y / clip.w, 1e-5f);
    EXPECT_EQ(number.color, nextRingColours(ColourVision::standard).shown);
    text.clearQueue();

    look.queueNumber(text, viewProj, 3, {0.0f, 0.0f, 10.0f});     // behind the camera
    look.queueNumber(text, viewProj, 3, {100.0f, 0.0f, -10.0f});  // far off to the right
    EXPECT_TRUE(text.queued().empty());
}

}  // namespace
}  // namespace kes
