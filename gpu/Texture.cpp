#include "gpu/Texture.hpp"

#include <iostream>
#include <memory>
#include <stdexcept>
#include <utility>

#include <FreeImage.h>

#include "gpu/FreeImageBitmap.hpp"

namespace kes {
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

}  // namespace

// A constructor that throws deletes what it made: its members' destructors run.
Texture::Texture(const std::uint32_t* pixels, std::uint32_t width, std::uint32_t height) {
    create(width, height, GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
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
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormat), static_cast<GLsizei>(width),
                 static_cast<GLsizei>(height), 0, pixelFormat, type, data);
    if (glGetError() != GL_NO_ERROR) {
        glBindTexture(GL_TEXTURE_2D, 0);
        failTexture("::glGetError() == GL_NO_ERROR");
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glGenerateMipmap(GL_TEXTURE_2D);
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
    const Conversion& conversion =
        bitsPerPixel == 8 ? k8Bit : (bitsPerPixel == 24 ? k24Bit : k32Bit);
    Texture texture;
    try {
        Bitmap converted;
        {
            const ImageFile image(folder, fileName);
            converted = convertImage(image, conversion.convert);
        }
        texture.create(FreeImage_GetWidth(converted.get()), FreeImage_GetHeight(converted.get()),
                       conversion.internalFormat, conversion.pixelFormat, GL_UNSIGNED_BYTE,
                       FreeImage_GetBits(converted.get()));
    } catch (const std::exception& failure) {
        std::cout << "Attempting to create a texture from disk: \"" << fileName << "\""
                  << std::endl;
        std::cout << conversion.severity << failure.what() << std::endl;
    }
    return texture;
}

CubeTexture::CubeTexture(const std::filesystem::path& texturesFolder, const std::string& baseName) {
    try {
        makeCubeTexture(texturesFolder, baseName);
    } catch (...) {
        glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
        throw;
    }
}

void CubeTexture::makeCubeTexture(const std::filesystem::path& texturesFolder,
                                  const std::string& baseName) {
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

    for (GLenum face = 0; face < 6; ++face) {
        Bitmap converted;
        {
            const ImageFile image(texturesFolder,
                                  "cubemap/" + baseName + std::to_string(face) + ".png");
            converted = convertImage(image, FreeImage_ConvertTo32Bits);
        }
        glTexImage2D(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_RGBA,
                     static_cast<GLsizei>(FreeImage_GetWidth(converted.get())),
                     static_cast<GLsizei>(FreeImage_GetHeight(converted.get())), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, FreeImage_GetBits(converted.get()));
        check("CubeTexture");
    }
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    check("CubeTexture");
    glTexParameteri(GL_TEXTURE_CUBE_MAP, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    check("CubeTexture");
    glGenerateMipmap(GL_TEXTURE_CUBE_MAP);
    check("CubeTexture");
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
