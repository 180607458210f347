// Compares a rendered frame with a picture kept in the repository, for changes that must not
// change what the renderer draws (or only within the rounding of a different computation).
#pragma once

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "gpu/FrameCapture.hpp"

namespace kes::test {

struct PictureDifference {
    int largest = 0;    // the largest difference of one colour channel, 0 to 255
    double mean = 0.0;  // the mean difference over every colour channel of every pixel
    int changedPixels = 0;
};

// Red, green and blue only: alpha carries nothing the player sees.
inline PictureDifference compareColours(const CapturedImage& a, const CapturedImage& b) {
    PictureDifference difference;
    double sum = 0.0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const glm::u8vec4 p = a.at(x, y);
            const glm::u8vec4 q = b.at(x, y);
            const int largest =
                std::max({std::abs(p.r - q.r), std::abs(p.g - q.g), std::abs(p.b - q.b)});
            sum += std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
            difference.largest = std::max(difference.largest, largest);
            difference.changedPixels += largest > 0 ? 1 : 0;
        }
    }
    difference.mean = sum / (3.0 * a.width * a.height);
    return difference;
}

// Each channel's difference times eight, for looking at where two pictures part.
inline CapturedImage differencePicture(const CapturedImage& a, const CapturedImage& b) {
    CapturedImage picture{a.width, a.height, a.rgba};
    for (std::size_t i = 0; i < picture.rgba.size(); ++i) {
        const int difference = std::abs(int(a.rgba[i]) - int(b.rgba[i]));
        picture.rgba[i] =
            i % 4 == 3 ? 255 : static_cast<std::uint8_t>(std::min(255, difference * 8));
    }
    return picture;
}

}  // namespace kes::test
