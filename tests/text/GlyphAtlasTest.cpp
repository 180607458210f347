// The glyph atlas and text layout without a display: fonts come from the system, nothing is
// uploaded.
#include "text/GlyphAtlas.hpp"

#include <cmath>
#include <set>

#include <gtest/gtest.h>

#include "text/GlyphSet.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

class GlyphAtlasTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        library = new FontLibrary;
        fonts = new FontCollection(*library);
        atlas = new GlyphAtlas(*fonts, fonts->createTextLayout(24), 96.0f);
    }
    static void TearDownTestSuite() {
        delete atlas;
        delete fonts;
        delete library;
    }
    static FontLibrary* library;
    static FontCollection* fonts;
    static GlyphAtlas* atlas;
};

FontLibrary* GlyphAtlasTest::library = nullptr;
FontCollection* GlyphAtlasTest::fonts = nullptr;
GlyphAtlas* GlyphAtlasTest::atlas = nullptr;

std::u16string wide(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) {
        text.push_back(static_cast<unsigned char>(byte));
    }
    return text;
}

TEST_F(GlyphAtlasTest, TheLineHasTheFontsHeightAndOneCellPerCharacterAGapApart) {
    const TextLayout layout = fonts->createTextLayout(24);
    EXPECT_NEAR(layout.height, 27.6f, 0.05f);  // Liberation Sans: ascent + descent + gap
    EXPECT_EQ(atlas->height, 28);
    const float gaps = float((glyphSet.size() + 1) * GlyphAtlas::kCellGap);
    EXPECT_EQ(atlas->width, static_cast<int>(std::ceil(layout.width + gaps)));
    EXPECT_FLOAT_EQ(atlas->aspect, static_cast<float>(atlas->width) / 28.0f);
    EXPECT_EQ(atlas->pixels.size(), static_cast<std::size_t>(atlas->width * atlas->height));

    std::vector<GlyphCell> cells;
    ASSERT_TRUE(atlas->resolveString(wide(glyphSet), cells));
    const float gap = float(GlyphAtlas::kCellGap) / float(atlas->width);
    EXPECT_FLOAT_EQ(cells.front().u0, gap);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        // Each cell as wide as the character's advance.
        EXPECT_NEAR((cells[i].u1 - cells[i].u0) * float(atlas->width), layout.advances[i], 1e-2f);
        if (i + 1 < cells.size()) {
            EXPECT_NEAR(cells[i + 1].u0 - cells[i].u1, gap, 1e-6f) << i;  // "B" a gap after "A"
        }
    }
    EXPECT_LE(cells.back().u1 + gap, 1.0f);
    EXPECT_GT(cells.back().u1 + gap, 0.999f);
}

TEST_F(GlyphAtlasTest, SimilarCharactersHaveCellsOfTheirOwn) {
    std::vector<GlyphCell> cells;
    ASSERT_TRUE(atlas->resolveString(wide("j8\xD6|\xB0\xA7"), cells));
    std::set<float> starts;
    for (const GlyphCell& cell : cells) {
        starts.insert(cell.u0);
    }
    EXPECT_EQ(starts.size(), cells.size());
}

TEST_F(GlyphAtlasTest, UnknownCharactersAreReportedAndTheRestStillResolve) {
    std::vector<GlyphCell> cells;
    testing::internal::CaptureStdout();
    const bool resolved = atlas->resolveString(u"a\tb\n\u00f1c\u20ac", cells);
    const std::string console = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(resolved);
    ASSERT_EQ(cells.size(), 7u);
    EXPECT_FALSE(std::isnan(cells[0].u0));
    EXPECT_TRUE(std::isnan(cells[1].u0) && std::isnan(cells[1].u1));
    EXPECT_FALSE(std::isnan(cells[2].u0));
    EXPECT_TRUE(std::isnan(cells[3].u0));
    EXPECT_TRUE(std::isnan(cells[4].u0));  // ñ is not in the set
    EXPECT_FALSE(std::isnan(cells[5].u0));
    EXPECT_TRUE(std::isnan(cells[6].u0));  // the euro sign lies above 255
    EXPECT_EQ(console,
              "kes::GlyphTexture::resolveString - Trying to resolve invalid character \"\t\"\n"
              "kes::GlyphTexture::resolveString - Trying to resolve invalid character \"\n\"\n"
              "kes::GlyphTexture::resolveString - Trying to resolve invalid character \"\xF1\"\n"
              "kes::GlyphTexture::resolveString - Trying to resolve invalid character \"\xAC\"\n");

    EXPECT_TRUE(atlas->resolveString(u"", cells));
    EXPECT_TRUE(cells.empty());
}

TEST_F(GlyphAtlasTest, TheAtlasGrowsWithTheDisplaysDpi) {
    const TextLayout layout = fonts->createTextLayout(24);
    const GlyphAtlas sharp(*fonts, layout, 144.0f);
    const float gaps = float((glyphSet.size() + 1) * GlyphAtlas::kCellGap);
    EXPECT_EQ(sharp.width, static_cast<int>(std::ceil(layout.width * 1.5f + gaps)));
    EXPECT_EQ(sharp.height, static_cast<int>(std::ceil(layout.height * 1.5f)));
    // The cells grow with the scale; the gaps stay as many texels.
    EXPECT_NEAR(
        (sharp.glyphTable['M'].u1 - sharp.glyphTable['M'].u0) * float(sharp.width),
        1.5f * (atlas->glyphTable['M'].u1 - atlas->glyphTable['M'].u0) * float(atlas->width),
        0.01f);
}

TEST_F(GlyphAtlasTest, GlyphsAreWhiteOnBlackWithinTheirCells) {
    // Inside "H": its two stems are solid; the space next to nothing is empty.
    const auto column = [](float u) {
        return static_cast<int>(u * static_cast<float>(atlas->width));
    };
    int inked = 0;
    for (int x = column(atlas->glyphTable['H'].u0); x < column(atlas->glyphTable['H'].u1); ++x) {
        for (int y = 0; y < atlas->height; ++y) {
            inked += (atlas->pixels[static_cast<std::size_t>(y * atlas->width + x)] & 0xFF) > 200;
        }
    }
    EXPECT_GT(inked, 20);
    int spaceInk = 0;
    for (int x = column(atlas->glyphTable[' '].u0) + 1; x < column(atlas->glyphTable[' '].u1) - 1;
         ++x) {
        for (int y = 0; y < atlas->height; ++y) {
            spaceInk += (atlas->pixels[static_cast<std::size_t>(y * atlas->width + x)] & 0xFF) > 0;
        }
    }
    EXPECT_EQ(spaceInk, 0);
    // No ink in the gaps between the cells: a glyph reaching past its cell (the hook of the j
    // under the i before it) is kept within it, or it would show beside its neighbour.
    for (std::size_t i = 0; i + 1 < glyphSet.size(); ++i) {
        const GlyphCell& cell = atlas->glyphTable[static_cast<unsigned char>(glyphSet[i])];
        const int from = static_cast<int>(std::ceil(cell.u1 * float(atlas->width)));
        int gapInk = 0;
        for (int x = from; x < from + GlyphAtlas::kCellGap - 1; ++x) {
            for (int y = 0; y < atlas->height; ++y) {
                gapInk +=
                    (atlas->pixels[static_cast<std::size_t>(y * atlas->width + x)] & 0xFF) > 0;
            }
        }
        EXPECT_EQ(gapInk, 0) << "after " << glyphSet[i];
    }
}

TEST_F(GlyphAtlasTest, TheHudsTimeHangsFromItsTopRightCorner) {
    const TextEntry time{u"Time", {0.97f, -0.9f, 0.0f},    {1, 1, 1},
                         0.05f,   VerticalAnchor::hanging, HorizontalAnchor::ending,
                         1};
    std::vector<VertexPosUV> vertices;
    std::vector<std::uint16_t> indices;
    ASSERT_TRUE(layoutText(time, *atlas, 1.0f, vertices, indices));
    ASSERT_EQ(vertices.size(), 16u);
    EXPECT_EQ(indices.size(), 24u);
    float left = 10, right = -10, bottom = 10, top = -10;
    for (const VertexPosUV& v : vertices) {
        left = std::min(left, v.position.x);
        right = std::max(right, v.position.x);
        bottom = std::min(bottom, v.position.y);
        top = std::max(top, v.position.y);
    }
    EXPECT_NEAR(right, 0.97f, 1e-5f);
    EXPECT_NEAR(top, -0.9f, 1e-6f);
    EXPECT_NEAR(bottom, -0.95f, 1e-6f);
    // The word is as wide as its cells, scaled by the atlas's aspect and the size.
    float cells = 0.0f;
    for (const char c : std::string("Time")) {
        cells += atlas->glyphTable[static_cast<unsigned char>(c)].u1 -
                 atlas->glyphTable[static_cast<unsigned char>(c)].u0;
    }
    EXPECT_NEAR(right - left, cells * atlas->aspect * 0.05f, 1e-5f);
    // "T" comes first, with its own cell; v runs from the bottom edge up.
    EXPECT_EQ(vertices[0].uv, glm::vec2(atlas->glyphTable['T'].u0, 0.0f));
    EXPECT_EQ(vertices[3].uv, glm::vec2(atlas->glyphTable['T'].u1, 1.0f));
}

TEST_F(GlyphAtlasTest, CentredTextAndAWideScreenKeepTheirProportions) {
    const TextEntry round{u"Round", {0.0f, 0.0f, 0.0f},      {1, 1, 1},
                          0.1f,     VerticalAnchor::centred, HorizontalAnchor::centred,
                          1};
    std::vector<VertexPosUV> square, wideScreen;
    std::vector<std::uint16_t> indices;
    ASSERT_TRUE(layoutText(round, *atlas, 1.0f, square, indices));
    ASSERT_TRUE(layoutText(round, *atlas, 720.0f / 1280.0f, wideScreen, indices));
    EXPECT_NEAR(square.front().position.x, -square.back().position.x, 1e-5f);
    EXPECT_NEAR(square.front().position.y, -0.05f, 1e-6f);
    const float squareWidth = square.back().position.x - square.front().position.x;
    const float wideWidth = wideScreen.back().position.x - wideScreen.front().position.x;
    EXPECT_NEAR(wideWidth, squareWidth * 720.0f / 1280.0f, 1e-5f);
}

TEST_F(GlyphAtlasTest, OverlongTextStopsAtWhatSixteenBitIndicesAddress) {
    const TextEntry huge{
        std::u16string(20000, u'x'), {0, 0, 0}, {1, 1, 1}, 0.01f, VerticalAnchor::standing,
        HorizontalAnchor::starting,  1};
    std::vector<VertexPosUV> vertices;
    std::vector<std::uint16_t> indices;
    ASSERT_TRUE(layoutText(huge, *atlas, 1.0f, vertices, indices));
    EXPECT_EQ(vertices.size(), 65536u);
    EXPECT_EQ(indices.back(), 65534);
    // An unknown character builds nothing at all.
    const TextEntry bad{u"ok\u0100",
                        {0, 0, 0},
                        {1, 1, 1},
                        0.1f,
                        VerticalAnchor::standing,
                        HorizontalAnchor::starting,
                        1};
    testing::internal::CaptureStdout();
    EXPECT_FALSE(layoutText(bad, *atlas, 1.0f, vertices, indices));
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(vertices.empty());
}

}  // namespace
}  // namespace kes
