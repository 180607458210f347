// The next ring's colours against colour blindness, checked by simulating the vision types on
// the palette: each setting's ring stays well apart (CIELAB distance above 40) from the other
// rings' white and from the tube's wires and skin, for normal vision and for the vision types
// it is meant for. The simulation itself tells apart what those people cannot: yellow and
// white look alike in blue-yellow blindness, which is why that setting's ring is red.
#include "game/level/RingPalette.hpp"

#include <gtest/gtest.h>

namespace kes {
namespace {

constexpr glm::vec3 kOtherRing{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kTubeWires{0.225f, 0.585f, 1.0f};
constexpr glm::vec3 kTubeSkin{0.105f, 0.273f, 0.609f};
constexpr float kApart = 40.0f;

TEST(RingPalette, TheNextRingStaysApartForThePeopleEachSettingIsFor) {
    struct Case {
        ColourVision setting;
        std::vector<Vision> visions;
    };
    const Case cases[] = {
        {ColourVision::standard, {Vision::normal}},
        {ColourVision::redGreen, {Vision::normal, Vision::protanopia, Vision::deuteranopia}},
        {ColourVision::blueYellow, {Vision::normal, Vision::tritanopia}},
    };
    for (const Case& c : cases) {
        const glm::vec3 ring = nextRingColours(c.setting).shown;
        for (const Vision vision : c.visions) {
            for (const glm::vec3& other : {kOtherRing, kTubeWires, kTubeSkin}) {
                EXPECT_GT(colourDistance(seenBy(vision, ring), seenBy(vision, other)), kApart)
                    << toString(c.setting) << " vision " << static_cast<int>(vision);
            }
        }
    }
    // Normal vision sees nothing change; tritanopia folds yellow onto white, deuteranopia
    // folds red onto the dark side.
    EXPECT_EQ(seenBy(Vision::normal, kTubeWires), kTubeWires);
    const glm::vec3 yellow = nextRingColours(ColourVision::redGreen).shown;
    EXPECT_LT(
        colourDistance(seenBy(Vision::tritanopia, yellow), seenBy(Vision::tritanopia, kOtherRing)),
        25.0f);
    EXPECT_GT(colourDistance(yellow, kOtherRing), 80.0f);
    // Grey stays grey for everyone.
    for (const Vision vision : {Vision::protanopia, Vision::deuteranopia, Vision::tritanopia}) {
        EXPECT_LT(colourDistance(seenBy(vision, glm::vec3(0.5f)), glm::vec3(0.5f)), 1.0f);
    }
}

}  // namespace
}  // namespace kes
