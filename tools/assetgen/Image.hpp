// A picture the generator paints, in floats, and its PNG file.
#pragma once

#include <algorithm>
#include <filesystem>
#include <thread>
#include <vector>

#include <glm/glm.hpp>

namespace assetgen {

// Rows run bottom to top, as texture coordinates do: pixel (x, y) covers
// u = (x + 0.5) / width, v = (y + 0.5) / height.
class Image {
public:
    Image(int width, int height, int channels);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int channels() const { return m_channels; }
    glm::vec2 uvOf(int x, int y) const;

    // Channels beyond the image's are ignored; values are clamped to [0, 1] when written.
    void set(int x, int y, const glm::vec4& value);
    glm::vec4 get(int x, int y) const;

    // Calls paint(u, v) for every pixel, rows split across threads.
    template <typename Paint>
    void fill(Paint&& paint);

private:
    int m_width;
    int m_height;
    int m_channels;
    std::vector<float> m_values;
};

// 1 channel: 8-bit grey, 3: 24-bit RGB, 4: 32-bit RGBA. False when the file cannot be written.
bool writePng(const Image& image, const std::filesystem::path& path);

template <typename Paint>
void Image::fill(Paint&& paint) {
    // Each thread paints its own band of rows; the painting functions are pure.
    const int bands = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::thread> painters;
    for (int band = 0; band < bands; ++band) {
        painters.emplace_back([this, &paint, band, bands] {
            for (int y = band; y < m_height; y += bands) {
                for (int x = 0; x < m_width; ++x) {
                    set(x, y, paint(uvOf(x, y)));
                }
            }
        });
    }
    for (std::thread& painter : painters) {
        painter.join();
    }
}

}  // namespace assetgen
