#include "gpu/Texture.hpp"

#include <algorithm>
#include <future>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <tuple>
#include <utility>

#include <FreeImage.h>

#include "gpu/FreeImageBitmap.hpp"

namespace kes {

// A file read and converted, or why it could not be: decoding touches no GL, so it may run on
// any thread.
struct DecodedImage {
    Bitmap bitmap;
    std::string failure;
    std::vector<Bitmap> smaller;  // the mip chain below the bitmap, halved down to 1 x 1
};

namespace {

[[noreturn]] void failTexture(const char* condition) {
    throw std::runtime_error(std::string("kes::Texture::Texture - Failed: \"") + condition + "\"");
}

// Rows arrive bottom to top, which is where GL expects row 0, each padded to 4 bytes, which is
// GL's default unpack alignment. FreeImage keeps its colours in blue, green, red (, alpha)
// order here, so the upload says so and GL puts red in the first channel.
struct Conversion {
    FIBITMAP* (*convert)(FIBITMAP*);
    GLenum internalFormat;
    GLenum pixelFormat;
    const char* severity;  // the label of the console line when the file cannot be read
};

constexpr Conversion k8Bit{FreeImage_ConvertTo8Bits, GL_R8, GL_RED, "Warning: "};
constexpr Conversion k24Bit{FreeImage_ConvertTo24Bits, GL_RGB8, GL_BGR, "Error: "};
constexpr Conversion k32Bit{FreeImage_ConvertTo32Bits, GL_RGBA8, GL_BGRA, "Error: "};

Bitmap convertImage(const ImageFile& image, FIBITMAP* (*convert)(FIBITMAP*)) {
    Bitmap converted(convert(image.bitmap));
    if (!converted) {
        throw std::runtime_error("Can't convert image \"" + image.path.string() + "\"");
    }
    return converted;
}

const Conversion& conversionOf(unsigned bitsPerPixel) {
    return bitsPerPixel == 8 ? k8Bit : (bitsPerPixel == 24 ? k24Bit : k32Bit);
}

// Each level a box-filtered half of the one above: made here, on the decoding thread, instead
// of by the driver, which on a software rasteriser compiles a filter for every format.
std::vector<Bitmap> mipChainBelow(FIBITMAP* image) {
    std::vector<Bitmap> levels;
    FIBITMAP* above = image;
    while (FreeImage_GetWidth(above) > 1 || FreeImage_GetHeight(above) > 1) {
        const auto width = static_cast<int>(std::max(1u, FreeImage_GetWidth(above) / 2));
        const auto height = static_cast<int>(std::max(1u, FreeImage_GetHeight(above) / 2));
        Bitmap level(FreeImage_Rescale(above, width, height, FILTER_BOX));
        if (!level) {
            throw std::runtime_error("Can't make the smaller levels of the image");
        }
        above = level.get();
        levels.push_back(std::move(level));
    }
    return levels;
}

DecodedImage decode(const std::filesystem::path& folder, const std::string& fileName,
                    unsigned bitsPerPixel, bool withMips) {
    try {
        const ImageFile image(folder, fileName);
        DecodedImage decoded{convertImage(image, conversionOf(bitsPerPixel).convert), {}, {}};
        if (withMips) {
            decoded.smaller = mipChainBelow(decoded.bitmap.get());
        }
        return decoded;
    } catch (const std::exception& failure) {
        return {Bitmap(), failure.what(), {}};
    }
}

// Levels 1, 2, ... of the mip chain of `texture`.
void uploadSmallerLevels(GLuint texture, const std::vector<Bitmap>& levels, GLenum internalFormat,
                         GLenum pixelFormat) {
    glBindTexture(GL_TEXTURE_2D, texture);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        FIBITMAP* level = levels[i].get();
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i + 1), static_cast<GLint>(internalFormat),
                     static_cast<GLsizei>(FreeImage_GetWidth(level)),
                     static_cast<GLsizei>(FreeImage_GetHeight(level)), 0, pixelFormat,
                     GL_UNSIGNED_BYTE, FreeImage_GetBits(level));
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

// Pixel (x, y) of the half-size level of `pixels` (width x height, four bytes each): the
// bilinear sample at its centre, as a driver makes the level. For an even side that is the
// average of a 2 x 2 block; for an odd one the samples spread over the whole side, so a glyph
// of a few rows does not drift.
std::uint32_t halfLevelTexel(const std::vector<std::uint32_t>& pixels, std::uint32_t width,
                             std::uint32_t height, std::uint32_t x, std::uint32_t y) {
    const std::uint32_t halfWidth = std::max(1u, width / 2);
    const std::uint32_t halfHeight = std::max(1u, height / 2);
    const auto source = [](std::uint32_t at, std::uint32_t from, std::uint32_t to) {
        const float centre = (float(at) + 0.5f) * float(from) / float(to) - 0.5f;
        const float clamped = std::clamp(centre, 0.0f, float(from - 1));
        const auto low = static_cast<std::uint32_t>(clamped);
        return std::tuple{low, std::min(low + 1, from - 1), clamped - float(low)};
    };
    const auto [x0, x1, fx] = source(x, width, halfWidth);
    const auto [y0, y1, fy] = source(y, height, halfHeight);
    std::uint32_t result = 0;
    for (std::uint32_t shift = 0; shift < 32; shift += 8) {
        const auto channel = [&](std::uint32_t px, std::uint32_t py) {
            return float((pixels[std::size_t{py} * width + px] >> shift) & 0xffu);
        };
        const float top = channel(x0, y0) * (1.0f - fx) + channel(x1, y0) * fx;
        const float bottom = channel(x0, y1) * (1.0f - fx) + channel(x1, y1) * fx;
        const float value = top * (1.0f - fy) + bottom * fy;
        result |= static_cast<std::uint32_t>(value + 0.5f) << shift;
    }
    return result;
}

}  // namespace

// A constructor that throws deletes what it made: its members' destructors run.
Texture::Texture(const std::uint32_t* pixels, std::uint32_t width, std::uint32_t height) {
    create(width, height, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
    // The smaller levels made here rather than by the driver (see mipChainBelow), each texel
    // sampled as a driver samples it: the glyphs are a few texels high, and a plain box filter
    // on an odd side lets small labels drift and fade.
    glBindTexture(GL_TEXTURE_2D, id);
    std::vector<std::uint32_t> above(pixels, pixels + std::size_t{width} * height);
    for (GLint level = 1; width > 1 || height > 1; ++level) {
        const std::uint32_t halfWidth = std::max(1u, width / 2);
        const std::uint32_t halfHeight = std::max(1u, height / 2);
        std::vector<std::uint32_t> half(std::size_t{halfWidth} * halfHeight);
        for (std::uint32_t y = 0; y < halfHeight; ++y) {
            for (std::uint32_t x = 0; x < halfWidth; ++x) {
                half[std::size_t{y} * halfWidth + x] = halfLevelTexel(above, width, height, x, y);
            }
        }
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, static_cast<GLsizei>(halfWidth),
                     static_cast<GLsizei>(halfHeight), 0, GL_RGBA, GL_UNSIGNED_BYTE, half.data());
        above = std::move(half);
        width = halfWidth;
        height = halfHeight;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture::Texture(std::uint32_t width, std::uint32_t height, GLenum internalFormat, GLenum type) {
    create(width, height, internalFormat, GL_RGBA, type, nullptr);
}

void Texture::create(std::uint32_t width, std::uint32_t height, GLenum internalFormat,
                     GLenum pixelFormat, GLenum type, const void* data) {
    inverseWidth = 1.0f / static_cast<float>(width);
    inverseHeight = 1.0f / static_cast<float>(height);
    id = TextureName::generate();
    if (id == 0) {
        failTexture("id");
    }
    glBindTexture(GL_TEXTURE_2D, id);
    if (data == nullptr) {
        // A render target: every level of the chain made at once, nothing to filter down (a
        // software rasteriser would compile and run its filter for the empty picture).
        GLsizei levels = 1;
        while ((std::max(width, height) >> levels) != 0) {
            ++levels;
        }
        glTexStorage2D(GL_TEXTURE_2D, levels, internalFormat, static_cast<GLsizei>(width),
                       static_cast<GLsizei>(height));
    } else {
        glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat),
                     static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, pixelFormat,
                     type, data);
    }
    if (glGetError() != GL_NO_ERROR) {
        glBindTexture(GL_TEXTURE_2D, 0);
        failTexture("::glGetError() == GL_NO_ERROR");
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (glGetError() != GL_NO_ERROR) {
        glBindTexture(GL_TEXTURE_2D, 0);
        failTexture("::glGetError() == GL_NO_ERROR");
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

Texture Texture::fromFile8(const std::filesystem::path& folder, const std::string& fileName) {
    return loadFile(folder, fileName, 8);
}
Texture Texture::fromFile24(const std::filesystem::path& folder, const std::string& fileName) {
    return loadFile(folder, fileName, 24);
}
Texture Texture::fromFile32(const std::filesystem::path& folder, const std::string& fileName) {
    return loadFile(folder, fileName, 32);
}

// Reads the file, converts it to the constructor's depth and uploads it. A failure is the
// player's business only as a console report: the material simply goes without this texture.
Texture Texture::loadFile(const std::filesystem::path& folder, const std::string& fileName,
                          unsigned bitsPerPixel) {
    return upload(decode(folder, fileName, bitsPerPixel, true), fileName, bitsPerPixel);
}

// The files are decoded side by side, each on a thread of its own (decoding is most of a
// texture's cost at start-up), and uploaded here in order, with their reports in that order.
std::vector<Texture> Texture::fromFiles(const std::filesystem::path& folder,
                                        const std::vector<TextureFile>& files) {
    std::vector<std::future<DecodedImage>> decoding;
    decoding.reserve(files.size());
    for (const TextureFile& file : files) {
        decoding.push_back(
            std::async(std::launch::async, decode, folder, file.name, file.bitsPerPixel, true));
    }
    std::vector<Texture> textures;
    textures.reserve(files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        textures.push_back(upload(decoding[i].get(), files[i].name, files[i].bitsPerPixel));
    }
    return textures;
}

Texture Texture::upload(const DecodedImage& decoded, const std::string& fileName,
                        unsigned bitsPerPixel) {
    const Conversion& conversion = conversionOf(bitsPerPixel);
    Texture texture;
    try {
        if (!decoded.bitmap) {
            throw std::runtime_error(decoded.failure);
        }
        FIBITMAP* converted = decoded.bitmap.get();
        texture.create(FreeImage_GetWidth(converted), FreeImage_GetHeight(converted),
                       conversion.internalFormat, conversion.pixelFormat, GL_UNSIGNED_BYTE,
                       FreeImage_GetBits(converted));
        uploadSmallerLevels(texture.id, decoded.smaller, conversion.internalFormat,
                            conversion.pixelFormat);
    } catch (const std::exception& error) {
        std::cout << "Attempting to create a texture from disk: \"" << fileName << "\""
                  << std::endl;
        std::cout << conversion.severity << error.what() << std::endl;
    }
    return texture;
}

CubeTexture::CubeTexture(const std::filesystem::path& texturesFolder, const std::string& baseName,
                         CubeMipmaps mipmaps) {
    try {
        makeCubeTexture(texturesFolder, baseName, mipmaps);
    } catch (...) {
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        throw;
    }
}

void CubeTexture::makeCubeTexture(const std::filesystem::path& texturesFolder,
                                  const std::string& baseName, CubeMipmaps mipmaps) {
    const auto check = [](const char* function) {
        if (glGetError() != GL_NO_ERROR) {
            throw std::runtime_error(std::string("kes::CubeTexture::") + function +
                                     " - Failed: \"::glGetError() == GL_NO_ERROR\"");
        }
    };
    TextureName name = TextureName::generate();
    check("makeCubeTexture");
    glBindTexture(GL_TEXTURE_CUBE_MAP, name);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_WRAP_R, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    id = std::move(name);
    glBindTexture(GL_TEXTURE_CUBE_MAP, id);

    // The faces are decoded side by side; a face that cannot be read throws here, in order.
    std::vector<std::future<DecodedImage>> faces;
    for (GLenum face = 0; face < 6; ++face) {
        faces.push_back(std::async(std::launch::async, decode, texturesFolder,
                                   "cubemap/" + baseName + std::to_string(face) + ".png", 32,
                                   false));
    }
    for (GLenum face = 0; face < 6; ++face) {
        const DecodedImage decoded = faces[face].get();
        if (!decoded.bitmap) {
            throw std::runtime_error(decoded.failure);
        }
        FIBITMAP* converted = decoded.bitmap.get();
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA,
                     static_cast<GLsizei>(FreeImage_GetWidth(converted)),
                     static_cast<GLsizei>(FreeImage_GetHeight(converted)), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, FreeImage_GetBits(converted));
        check("CubeTexture");
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    check("CubeTexture");
    if (mipmaps == CubeMipmaps::made) {
        glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        check("CubeTexture");
        glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
        check("CubeTexture");
    }
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

ImageFile::ImageFile(const std::filesystem::path& folder, const std::string& fileName)
    : path(folder / fileName) {
    const std::string text = path.string();
    format = FreeImage_GetFileType(text.c_str(), 0);
    if (format == FIF_UNKNOWN) {
        throw std::runtime_error("Can't query filetype for \"" + text + "\"");
    }
    bitmap = FreeImage_Load(static_cast<FREE_IMAGE_FORMAT>(format), text.c_str(), 0);
    if (bitmap == nullptr) {
        throw std::runtime_error("Can't load image \"" + text + "\"");
    }
}

ImageFile::~ImageFile() {
    if (bitmap != nullptr) {
        FreeImage_Unload(bitmap);
    }
}

}  // namespace kes
