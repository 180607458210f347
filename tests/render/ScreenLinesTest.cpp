// Panels over the picture: a plain one fills its rectangle to the corners; one with round ends
// (a gamepad's face button in the prompts) is a disc, its corners left as they were, its edge
// following the curve.
#include "render/ScreenLines.hpp"

#include <gtest/gtest.h>

#include "gpu/FrameCapture.hpp"
#include "gpu/GlState.hpp"
#include "platform/OpenGL.hpp"

namespace kes {
namespace {

TEST(ScreenLines, APanelWithRoundEndsIsADiscAndAPlainOneFillsItsCorners) {
    constexpr int kSide = 200;
    openGL gl(kSide, kSide, 0, false);
    ScreenLines lines(DRIFTLINE_ASSETS_DIR);
    glViewport(0, 0, kSide, kSide);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    const glm::vec3 red{1.0f, 0.0f, 0.0f};
    const glm::vec3 green{0.0f, 1.0f, 0.0f};
    // Left: a disc of 100 pixels with a green edge; right of it nothing; the plain square below
    // the disc's row is drawn on the lower half.
    lines.addPanel({{-0.9f, 0.0f}, {0.1f, 1.0f}, red, 1.0f, green, 2.0f, 1e6f});
    lines.addPanel({{-0.9f, -1.0f}, {0.1f, 0.0f}, red, 1.0f, green, 0.0f, 0.0f});
    GlStateCache state;
    lines.draw({0, 0, kSide, kSide}, state, [](const glm::vec3& colour) { return colour; });
    state.apply(PipelineState{});
    const CapturedImage picture = captureFramebuffer(0, GL_BACK, kSide, kSide);
    const auto at = [&](float x, float y) {  // in the text's units
        return picture.at(static_cast<int>((x + 1.0f) * 0.5f * kSide),
                          static_cast<int>((y + 1.0f) * 0.5f * kSide));
    };
    EXPECT_GT(at(-0.4f, 0.5f).r, 200) << "the disc's middle";
    EXPECT_EQ(at(-0.85f, 0.95f).r, 0) << "the disc's top left corner stays clear";
    EXPECT_EQ(at(0.05f, 0.05f).r, 0) << "the disc's bottom right corner stays clear";
    EXPECT_GT(at(-0.4f, 0.995f).g, 100) << "the edge at the top of the curve";
    EXPECT_GT(at(-0.85f, -0.05f).r, 200) << "the plain panel's corner is filled";
    EXPECT_GT(at(0.05f, -0.95f).r, 200) << "the plain panel's corner is filled";
}

}  // namespace
}  // namespace kes
