#include "Image.hpp"

#include <algorithm>
#include <cmath>

#include <FreeImage.h>

namespace assetgen {

Image::Image(int width, int height, int channels)
    : m_width(width),
      m_height(height),
      m_channels(channels),
      m_values(static_cast<std::size_t>(width) * height * channels, 0.0f) {}

glm::vec2 Image::uvOf(int x, int y) const {
    return {(static_cast<float>(x) + 0.5f) / static_cast<float>(m_width),
            (static_cast<float>(y) + 0.5f) / static_cast<float>(m_height)};
}

void Image::set(int x, int y, const glm::vec4& value) {
    const std::size_t offset = (static_cast<std::size_t>(y) * m_width + x) * m_channels;
    for (int c = 0; c < m_channels; ++c) {
        m_values[offset + static_cast<std::size_t>(c)] = value[c];
    }
}

glm::vec4 Image::get(int x, int y) const {
    const std::size_t offset = (static_cast<std::size_t>(y) * m_width + x) * m_channels;
    glm::vec4 value(0.0f, 0.0f, 0.0f, 1.0f);
    for (int c = 0; c < m_channels; ++c) {
        value[c] = m_values[offset + static_cast<std::size_t>(c)];
    }
    return value;
}

namespace {

BYTE toByte(float value) {
    return static_cast<BYTE>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f));
}

}  // namespace

bool writePng(const Image& image, const std::filesystem::path& path) {
    const int bits = image.channels() * 8;
    FIBITMAP* bitmap = FreeImage_Allocate(image.width(), image.height(), bits);
    if (bitmap == nullptr) {
        return false;
    }
    if (bits == 8) {
        RGBQUAD* palette = FreeImage_GetPalette(bitmap);
        for (int i = 0; i < 256; ++i) {
            palette[i].rgbRed = palette[i].rgbGreen = palette[i].rgbBlue = static_cast<BYTE>(i);
        }
    }
    // FreeImage's scan line 0 is the bottom row, like ours; its colours are stored blue first.
    for (int y = 0; y < image.height(); ++y) {
        BYTE* line = FreeImage_GetScanLine(bitmap, y);
        for (int x = 0; x < image.width(); ++x) {
            const glm::vec4 value = image.get(x, y);
            BYTE* pixel = line + static_cast<std::ptrdiff_t>(x) * image.channels();
            if (bits == 8) {
                pixel[0] = toByte(value.r);
                continue;
            }
            pixel[FI_RGBA_RED] = toByte(value.r);
            pixel[FI_RGBA_GREEN] = toByte(value.g);
            pixel[FI_RGBA_BLUE] = toByte(value.b);
            if (bits == 32) {
                pixel[FI_RGBA_ALPHA] = toByte(value.a);
            }
        }
    }
    const bool saved = FreeImage_Save(FIF_PNG, bitmap, path.c_str(), PNG_DEFAULT) == TRUE;
    FreeImage_Unload(bitmap);
    return saved;
}

}  // namespace assetgen
