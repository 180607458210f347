// 2D and cube-map textures: render targets, textures from pixel memory, material textures read
// from PNG files at a fixed bit depth, and the skybox cube map read from six numbered files.
// Material textures are optional: a file that cannot be read is reported and gives no texture.
// Cube faces are mandatory: their failure throws. Textures own their GL names (see GlName).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <GL/glew.h>

#include "gpu/GlName.hpp"

struct FIBITMAP;

namespace kes {

struct DecodedImage;  // a file read on any thread, not yet uploaded (Texture.cpp)

class Texture {
public:
    Texture() = default;
    // width x height pixels of 4 bytes each, red first (GL_RGBA8).
    Texture(const std::uint32_t* pixels, std::uint32_t width, std::uint32_t height);
    // Storage only, no data: render targets. The pixel format is always GL_RGBA.
    Texture(std::uint32_t width, std::uint32_t height, GLenum internalFormat, GLenum type);

    // Files relative to `folder`. They never throw: a file that cannot be read is reported on
    // the console and gives id 0.
    static Texture fromFile8(const std::filesystem::path& folder,
                             const std::string& fileName);  // one channel, GL_R8
    static Texture fromFile24(const std::filesystem::path& folder,
                              const std::string& fileName);  // GL_RGB8
    static Texture fromFile32(const std::filesystem::path& folder,
                              const std::string& fileName);  // GL_RGBA8

    // Several files at once, decoded side by side and uploaded in their order, each as the
    // single-file reader of its depth would.
    struct TextureFile {
        std::string name;
        unsigned bitsPerPixel;  // 8, 24 or 32
    };
    static std::vector<Texture> fromFiles(const std::filesystem::path& folder,
                                          const std::vector<TextureFile>& files);

    TextureName id;              // none for a file that could not be read
    float inverseWidth = 0.0f;   // the width of one texel in texture coordinates
    float inverseHeight = 0.0f;  // the height of one texel

private:
    static Texture loadFile(const std::filesystem::path& folder, const std::string& fileName,
                            unsigned bitsPerPixel);
    // A decoded and converted image with its smaller levels, or the report of why the file
    // could not be read.
    static Texture upload(const DecodedImage& decoded, const std::string& fileName,
                          unsigned bitsPerPixel);
    // Generates the name first, so a failure after it leaves the name in `id`.
    void create(std::uint32_t width, std::uint32_t height, GLenum internalFormat,
                GLenum pixelFormat, GLenum type, const void* data);
};

// Whether a cube map gets its chain of smaller levels (for blurred lookups) or only its faces.
enum class CubeMipmaps { made, none };

// Six faces "cubemap/<base><i>.png", i = 0 ... 5 for +X, -X, +Y, -Y, +Z, -Z.

class CubeTexture {
public:
    CubeTexture(const std::filesystem::path& texturesFolder, const std::string& baseName,
                CubeMipmaps mipmaps = CubeMipmaps::made);

    TextureName id;

private:
    void makeCubeTexture(const std::filesystem::path& texturesFolder, const std::string& baseName,
                         CubeMipmaps mipmaps);
};

// A decoded image file. Throws when the file's type is unknown (a missing file among them) or
// it cannot be decoded.
class ImageFile {
public:
    ImageFile(const std::filesystem::path& folder, const std::string& fileName);
    ~ImageFile();
    ImageFile(const ImageFile&) = delete;
    ImageFile& operator=(const ImageFile&) = delete;

    std::filesystem::path path;
    int format = -1;  // FreeImage's format code
    FIBITMAP* bitmap = nullptr;
};

}  // namespace kes
