// The HUD drawn for real under Xvfb with the game's text shaders, at the default window size
// and at 1280 x 720; the pictures are saved under test-output/ for a person to look at.
#include "text/TextRenderer.hpp"

#include <filesystem>
#include <sstream>

#include <gtest/gtest.h>

#include "gpu/FrameCapture.hpp"
#include "platform/OpenGL.hpp"

namespace kes {
namespace {

struct Hud {
    const char* text;
    glm::vec2 position;
    float size;
    VerticalAnchor vertical;
    HorizontalAnchor horizontal;
};

constexpr VerticalAnchor kHanging = VerticalAnchor::hanging;
constexpr VerticalAnchor kStanding = VerticalAnchor::standing;
constexpr HorizontalAnchor kEnding = HorizontalAnchor::ending;

// Rows laid out as the race display lays them out, with a round finished and a best time set.
const Hud kHud[] = {{"Round", {0.55f, -0.9f}, 0.05f, kHanging, kEnding},
                    {"0", {0.55f, -0.9f}, 0.1f, kStanding, kEnding},
                    {"Time", {0.97f, -0.9f}, 0.05f, kHanging, kEnding},
                    {"12.500", {0.97f, -0.9f}, 0.1f, kStanding, kEnding},
                    {"Best Time", {0.97f, -0.73f}, 0.05f, kHanging, kEnding},
                    {"41.125", {0.97f, -0.73f}, 0.1f, kStanding, kEnding}};

struct PixelBox {
    int left, right, bottom, top;
    bool contains(int x, int y, int margin) const {
        return x >= left - margin && x <= right + margin && y >= bottom - margin &&
               y <= top + margin;
    }
};

class TextRendererTest : public testing::TestWithParam<glm::ivec2> {
protected:
    void SetUp() override {
        const glm::ivec2 size = GetParam();
        gl = std::make_unique<openGL>(size.x, size.y, 0, false);
        glEnable(GL_DEBUG_OUTPUT);
        glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
        testing::internal::CaptureStdout();
        text = std::make_unique<TextRenderer>(DRIFTLINE_ASSETS_DIR, 96.0f);
        frame = std::make_unique<UBO<perFrameData>>(0);
        frame->data.width = static_cast<std::uint32_t>(size.x);
        frame->data.height = static_cast<std::uint32_t>(size.y);
        frame->upload();
    }
    void TearDown() override {
        text.reset();
        frame.reset();
        gl.reset();
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_EQ(console.find("OpenGL-Error"), std::string::npos) << console;
    }
    // Where an entry's quads land in window pixels.
    PixelBox boxOf(const Hud& hud) const {
        const glm::ivec2 size = GetParam();
        const TextEntry entry{u"",          {hud.position, 0.0f}, {1, 1, 1}, hud.size,
                              hud.vertical, hud.horizontal,       1};
        TextEntry withText = entry;
        for (const char* c = hud.text; *c != '\0'; ++c) {
            withText.text.push_back(static_cast<unsigned char>(*c));
        }
        std::vector<VertexPosUV> vertices;
        std::vector<std::uint16_t> indices;
        layoutText(withText, text->glyphs, static_cast<float>(size.y) / static_cast<float>(size.x),
                   vertices, indices);
        const auto toPixel = [](float ndc, int extent) {
            return static_cast<int>((ndc + 1.0f) * 0.5f * static_cast<float>(extent));
        };
        return {toPixel(vertices.front().position.x, size.x),
                toPixel(vertices.back().position.x, size.x),
                toPixel(vertices.front().position.y, size.y),
                toPixel(vertices.back().position.y, size.y)};
    }

    std::unique_ptr<openGL> gl;
    std::unique_ptr<TextRenderer> text;
    std::unique_ptr<UBO<perFrameData>> frame;
};

TEST_P(TextRendererTest, DrawsTheHudInsideItsBoxesAndNowhereElse) {
    const glm::ivec2 size = GetParam();
    glViewport(0, 0, size.x, size.y);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const Hud& hud : kHud) {
        text->addText(std::string(hud.text), hud.position, hud.size, {1, 1, 1}, hud.vertical,
                      hud.horizontal);
    }
    GlStateCache state;
    text->render(*frame, state);
    state.apply(PipelineState{});
    EXPECT_TRUE(text->queued().empty());
    const CapturedImage picture = captureFramebuffer(0, GL_BACK, size.x, size.y);
    std::filesystem::create_directories("test-output");
    std::ostringstream name;
    name << "test-output/hud-" << size.x << "x" << size.y << ".png";
    savePng(picture, name.str());

    std::vector<PixelBox> boxes;
    for (const Hud& hud : kHud) {
        boxes.push_back(boxOf(hud));
        int white = 0;
        const PixelBox& box = boxes.back();
        for (int y = box.bottom; y <= box.top; ++y) {
            for (int x = box.left; x <= box.right; ++x) {
                white += picture.at(x, y).r > 180;
            }
        }
        EXPECT_GT(white, 4) << hud.text;
    }
    int stray = 0;
    for (int y = 0; y < size.y; ++y) {
        for (int x = 0; x < size.x; ++x) {
            const bool inside = std::any_of(boxes.begin(), boxes.end(), [&](const PixelBox& box) {
                return box.contains(x, y, 1);
            });
            stray += !inside && picture.at(x, y).r > 0;
        }
    }
    EXPECT_EQ(stray, 0);
}

// The text sets its whole state through the frame's cache, so what the cache believes GL holds
// afterwards is what GL holds; and an unknown character ends the frame's text there.
TEST_P(TextRendererTest, SetsItsStateThroughTheCacheAndStopsAtAnUnknownCharacter) {
    GlStateCache state;
    state.apply(PipelineState{}.culling(GL_BACK, GL_CW).stencil(GL_EQUAL, 1, GL_KEEP));
    text->addText(std::string("first"), {0.0f, 0.0f}, 0.1f, {1, 1, 1}, kStanding,
                  HorizontalAnchor::starting);
    text->addText(std::u16string(u"bad \u0100"), {0.0f, 0.3f}, 0.1f, {1, 1, 1}, kStanding,
                  HorizontalAnchor::starting);
    text->addText(std::string("never drawn"), {0.0f, 0.6f}, 0.1f, {1, 1, 1}, kStanding,
                  HorizontalAnchor::starting);
    text->addText(std::string(""), {0.0f, 0.9f}, 0.1f, {1, 1, 1}, kStanding,
                  HorizontalAnchor::starting);
    text->render(*frame, state);
    EXPECT_TRUE(text->queued().empty());
    EXPECT_EQ(readPipelineState(), state.current());
    EXPECT_TRUE(state.current().blend);
    EXPECT_FALSE(state.current().cull);
    EXPECT_FALSE(state.current().stencilTest);
    EXPECT_TRUE(state.current().depthTest);
    EXPECT_FALSE(state.current().depthWrite);
    state.apply(PipelineState{});
}

INSTANTIATE_TEST_SUITE_P(WindowSizes, TextRendererTest,
                         testing::Values(glm::ivec2(640, 480), glm::ivec2(1280, 720)),
                         [](const auto& size) {
                             return std::to_string(size.param.x) + "x" +
                                    std::to_string(size.param.y);
                         });

}  // namespace
}  // namespace kes
