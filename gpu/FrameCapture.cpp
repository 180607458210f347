#include "gpu/FrameCapture.hpp"

#include <FreeImage.h>

#include "gpu/FreeImageBitmap.hpp"

namespace kes {

glm::u8vec4 CapturedImage::at(int x, int y) const {
    const std::size_t offset = (static_cast<std::size_t>(y) * width + x) * 4;
    return {rgba[offset], rgba[offset + 1], rgba[offset + 2], rgba[offset + 3]};
}

CapturedImage captureFramebuffer(GLuint framebuffer, GLenum readBuffer, int width, int height) {
    CapturedImage image{width, height,
                        std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 4)};
    GLint previousFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousFramebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glReadBuffer(readBuffer);
    // Four bytes a pixel keep every row aligned, whatever the pack alignment says.
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(previousFramebuffer));
    return image;
}

namespace {

// The picture as a FreeImage bitmap with `bits` a pixel (24: no alpha, 32: with it).
Bitmap toBitmap(const CapturedImage& image, int bits) {
    Bitmap bitmap(FreeImage_Allocate(image.width, image.height, bits));
    if (!bitmap) {
        return bitmap;
    }
    const int bytes = bits / 8;
    // FreeImage's rows also run bottom to top; its channels are blue, green, red, alpha here.
    for (int y = 0; y < image.height; ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap.get(), y);
        for (int x = 0; x < image.width; ++x) {
            const glm::u8vec4 pixel = image.at(x, y);
            line[x * bytes + FI_RGBA_RED] = pixel.r;
            line[x * bytes + FI_RGBA_GREEN] = pixel.g;
            line[x * bytes + FI_RGBA_BLUE] = pixel.b;
            if (bytes == 4) {
                line[x * bytes + FI_RGBA_ALPHA] = pixel.a;
            }
        }
    }
    return bitmap;
}

}  // namespace

bool savePng(const CapturedImage& image, const std::filesystem::path& path) {
    const Bitmap bitmap = toBitmap(image, 32);
    return bitmap && FreeImage_Save(FIF_PNG, bitmap.get(), path.c_str(), PNG_DEFAULT) == TRUE;
}

bool saveJpeg(const CapturedImage& image, const std::filesystem::path& path) {
    const Bitmap bitmap = toBitmap(image, 24);
    return bitmap && FreeImage_Save(FIF_JPEG, bitmap.get(), path.c_str(), JPEG_QUALITYGOOD) == TRUE;
}

std::optional<CapturedImage> loadPng(const std::filesystem::path& path) {
    if (FreeImage_GetFileType(path.c_str(), 0) != FIF_PNG) {
        return std::nullopt;
    }
    const Bitmap file(FreeImage_Load(FIF_PNG, path.c_str(), PNG_DEFAULT));
    if (!file) {
        return std::nullopt;
    }
    const Bitmap bitmap(FreeImage_ConvertTo32Bits(file.get()));
    if (!bitmap) {
        return std::nullopt;
    }
    CapturedImage image;
    image.width = static_cast<int>(FreeImage_GetWidth(bitmap.get()));
    image.height = static_cast<int>(FreeImage_GetHeight(bitmap.get()));
    image.rgba.resize(static_cast<std::size_t>(image.width) *
                      static_cast<std::size_t>(image.height) * 4);
    for (int y = 0; y < image.height; ++y) {
        const BYTE* line = FreeImage_GetScanLine(bitmap.get(), y);
        std::uint8_t* row =
            &image.rgba[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) * 4];
        for (int x = 0; x < image.width; ++x) {
            row[x * 4 + 0] = line[x * 4 + FI_RGBA_RED];
            row[x * 4 + 1] = line[x * 4 + FI_RGBA_GREEN];
            row[x * 4 + 2] = line[x * 4 + FI_RGBA_BLUE];
            row[x * 4 + 3] = line[x * 4 + FI_RGBA_ALPHA];
        }
    }
    return image;
}

}  // namespace kes
