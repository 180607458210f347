// The picture's quality levels: what each one draws. High is the full frame; medium and low
// drop or shrink its costliest work, each choice measured on the software rasteriser and kept
// where it paid (docs/quality-levels.md has the figures). Basic is a frame of its own, made for a
// machine without a graphics card: every surface lit as it is drawn, in one pass into one
// image, with no G-buffer, shadow maps or glow. Every level can also draw its picture smaller
// than the window (the render scale) and have the final pass scale it up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kes {

enum class QualityLevel : std::uint8_t { basic = 0, low = 1, medium = 2, high = 3 };
inline constexpr std::size_t kQualityLevelCount = 4;

const char* toString(QualityLevel level);

struct QualityTraits {
    bool reflections;    // screen-space reflections
    int bloomDivisor;    // the glow is made at 1/divisor of the picture's width and height; 0: none
    bool fragmentLists;  // translucent surfaces and the tube sorted in per-pixel lists; without
                         // them the tube is added over the lit picture, unsorted
    bool softShadows;    // nine filtered shadow taps; else one
    bool fineSun;        // the sun's sphere at its full tessellation; else a coarse one
    bool forward;        // lit as drawn, one pass into one image: no G-buffer, shadows or glow
};

QualityTraits traitsOf(QualityLevel level);

// The lighting pass's variant defines for a level ("#define NAME VALUE" lines).
std::vector<std::string> lightingDefines(QualityLevel level);

// The internal picture for a window of `width` x `height` at `scale`: each side rounded to
// whole pixels, never below 16.
struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    bool operator==(const PictureSize&) const = default;
};
PictureSize scaledPicture(std::uint32_t width, std::uint32_t height, float scale);

}  // namespace kes
