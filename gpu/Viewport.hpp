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

}  // namespace kes
