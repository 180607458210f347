// A rectangle of a framebuffer in pixels, as glViewport takes it. The render targets and the
// layers that draw into the window both speak of it, so it lives with the GPU wrappers.
#pragma once

#include <cstdint>

namespace kes {

struct Viewport {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// Where a picture of width x height goes in `window`: as large as fits with its aspect kept,
// centred, the rest left for black bars.
Viewport letterbox(std::uint32_t width, std::uint32_t height, const Viewport& window);

}  // namespace kes
