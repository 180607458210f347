#include "gpu/Texture.hpp"

#include <type_traits>
#include <vector>

#include "Image.hpp"
#include "support/Failure.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using test::failureOf;

static_assert(!std::is_copy_constructible_v<Texture> &&
              std::is_nothrow_move_constructible_v<Texture>);

class TextureTest : public test::GlTest {
protected:
    // Writes a PNG of `channels` channels whose pixel (x, y) is paint(x, y) in bytes.
    void writePng(const std::string& name, int width, int height, int channels,
                  const std::function<glm::vec4(int, int)>& paint) const {
        assetgen::Image image(width, height, channels);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                image.set(x, y, paint(x, y) / 255.0f);
            }
        }
        ASSERT_TRUE(assetgen::writePng(image, assets.path() / "textures" / name));
    }
    std::filesystem::path textures() const { return assets.path() / "textures"; }
};

// Reads level 0 of a 2D texture as tightly packed bytes.
std::vector<std::uint8_t> readTexture(GLuint id, GLenum format, int width, int height,
                                      int channels) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * channels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTextureImage(id, 0, format, GL_UNSIGNED_BYTE, static_cast<GLsizei>(bytes.size()),
                      bytes.data());
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    return bytes;
}

GLint internalFormatOf(GLuint id) {
    GLint format = 0;
    glGetTextureLevelParameteriv(id, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    return format;
}

TEST_F(TextureTest, RedStaysInTheFirstChannelAt24And32Bits) {
    const auto red = [](int, int) { return glm::vec4(255, 0, 0, 255); };
    writePng("red24.png", 4, 4, 3, red);
    writePng("red32.png", 4, 4, 4, red);
    const Texture rgb = Texture::fromFile24(textures(), "red24.png");
    const Texture rgba = Texture::fromFile32(textures(), "red32.png");
    EXPECT_EQ(internalFormatOf(rgb.id), GL_RGB8);
    EXPECT_EQ(internalFormatOf(rgba.id), GL_RGBA8);
    for (const Texture* texture : {&rgb, &rgba}) {
        const auto bytes = readTexture(texture->id, GL_RGBA, 4, 4, 4);
        EXPECT_EQ(bytes[0], 255);
        EXPECT_EQ(bytes[1], 0);
        EXPECT_EQ(bytes[2], 0);
    }
    EXPECT_FLOAT_EQ(rgb.inverseWidth, 0.25f);
}

TEST_F(TextureTest, RowsThatAreNotAMultipleOfFourBytesUploadIntact) {
    // 5 pixels a row: 5 bytes at 8 bits and 15 at 24 bits, both padded to 4 in the file's rows.
    const auto pattern = [](int x, int y) {
        return glm::vec4(40 * x + 10, 60 * y + 5, 17 * (x + y), 255);
    };
    writePng("grey5.png", 5, 3, 1, pattern);
    writePng("colour5.png", 5, 3, 3, pattern);
    const Texture grey = Texture::fromFile8(textures(), "grey5.png");
    const Texture colour = Texture::fromFile24(textures(), "colour5.png");
    const auto greyBytes = readTexture(grey.id, GL_RED, 5, 3, 1);
    const auto colourBytes = readTexture(colour.id, GL_RGB, 5, 3, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            const glm::vec4 expected = pattern(x, y);
            const std::size_t i = static_cast<std::size_t>(y * 5 + x);
            EXPECT_EQ(greyBytes[i], expected.r) << x << "," << y;
            EXPECT_EQ(colourBytes[i * 3], expected.r) << x << "," << y;
            EXPECT_EQ(colourBytes[i * 3 + 1], expected.g) << x << "," << y;
            EXPECT_EQ(colourBytes[i * 3 + 2], expected.b) << x << "," << y;
        }
    }
}

TEST_F(TextureTest, AColourImageReadAt8BitsBecomesOneGreyChannel) {
    writePng("green.png", 4, 4, 3, [](int, int) { return glm::vec4(0, 255, 0, 255); });
    const Texture grey = Texture::fromFile8(textures(), "green.png");
    EXPECT_EQ(internalFormatOf(grey.id), GL_R8);
    const auto bytes = readTexture(grey.id, GL_RED, 4, 4, 1);
    EXPECT_GT(bytes[0], 100);  // green is most of the brightness
    EXPECT_LT(bytes[0], 255);
}

TEST_F(TextureTest, AMissingMaterialTextureIsReportedAndGivesNoTexture) {
    takeConsole();
    const Texture metal = Texture::fromFile8(textures(), "Asteroid1_metal.png");
    const Texture albedo = Texture::fromFile32(textures(), "Asteroid1_albedo.png");
    EXPECT_EQ(metal.id, 0u);
    EXPECT_EQ(albedo.id, 0u);
    EXPECT_EQ(takeConsole(),
              "Attempting to create a texture from disk: \"Asteroid1_metal.png\"\n"
              "Warning: Can't query filetype for \"" +
                  (textures() / "Asteroid1_metal.png").string() +
                  "\"\n"
                  "Attempting to create a texture from disk: \"Asteroid1_albedo.png\"\n"
                  "Error: Can't query filetype for \"" +
                  (textures() / "Asteroid1_albedo.png").string() + "\"\n");
}

TEST_F(TextureTest, ACorruptImageIsReportedAsUnloadable) {
    assets.write("textures/broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "garbage");
    takeConsole();
    const Texture broken = Texture::fromFile24(textures(), "broken.png");
    EXPECT_EQ(broken.id, 0u);
    EXPECT_NE(takeConsole().find("Error: Can't load image \""), std::string::npos);
}

TEST_F(TextureTest, PixelAndEmptyTexturesKeepTheirSizeInverted) {
    const std::uint32_t pixels[] = {0xFF0000FFu, 0xFF00FF00u};  // red, green as RGBA bytes
    const Texture fromPixels(pixels, 2, 1);
    const auto bytes = readTexture(fromPixels.id, GL_RGBA, 2, 1, 4);
    EXPECT_EQ(bytes[0], 255);
    EXPECT_EQ(bytes[5], 255);
    const Texture target(1, 1, GL_RGBA16F, GL_FLOAT);
    EXPECT_EQ(target.inverseWidth, 1.0f);
    EXPECT_EQ(target.inverseHeight, 1.0f);
    EXPECT_EQ(internalFormatOf(target.id), GL_RGBA16F);
    GLint minFilter = 0;
    glGetTextureParameteriv(target.id, GL_TEXTURE_MIN_FILTER, &minFilter);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_LINEAR);
}

TEST_F(TextureTest, AnImpossibleSizeFailsWithTheGlErrorMessage) {
    allowDriverErrors();
    EXPECT_EQ(failureOf([] { Texture(1u << 20, 1, GL_RGBA8, GL_UNSIGNED_BYTE); }),
              "kes::Texture::Texture - Failed: \"::glGetError() == GL_NO_ERROR\"");
}

class CubeTextureTest : public TextureTest {
protected:
    static glm::vec4 faceColour(int face) {
        return glm::vec4(40 * face + 20, 255 - 30 * face, 7, 255);
    }
    void writeFaces(int count) const {
        for (int face = 0; face < count; ++face) {
            writePng("cubemap/try" + std::to_string(face) + ".png", 4, 4, 3,
                     [face](int, int) { return faceColour(face); });
        }
    }
};

TEST_F(CubeTextureTest, LoadsSixFacesInOrderWithRedFirst) {
    writeFaces(6);
    const CubeTexture sky(textures(), "try");
    ASSERT_NE(sky.id, 0u);
    glBindTexture(GL_TEXTURE_CUBE_MAP, sky.id);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    for (int face = 0; face < 6; ++face) {
        std::uint8_t bytes[4 * 4 * 4];
        glGetTexImage(GL_TEXTURE_CUBE_MAP_POSITIVE_X + static_cast<GLenum>(face), 0, GL_RGBA,
                      GL_UNSIGNED_BYTE, bytes);
        EXPECT_EQ(bytes[0], faceColour(face).r) << "face " << face;
        EXPECT_EQ(bytes[1], faceColour(face).g) << "face " << face;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

TEST_F(CubeTextureTest, AMissingFaceStopsTheCubeMapWithThePath) {
    writeFaces(3);
    EXPECT_EQ(failureOf([&] { CubeTexture(textures(), "try"); }),
              "Can't query filetype for \"" + (textures() / "cubemap/try3.png").string() + "\"");
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
    EXPECT_EQ(bound, 0);
}

}  // namespace
}  // namespace kes
