#include "gpu/Viewport.hpp"

namespace kes {

Viewport letterbox(std::uint32_t width, std::uint32_t height, const Viewport& window) {
    if (width == 0 || height == 0 || window.width <= 0 || window.height <= 0) {
        return window;
    }
    // Compared in whole numbers: the side that fills the window is exact.
    const auto wide = std::int64_t{window.width} * height >= std::int64_t{window.height} * width;
    Viewport shown = window;
    if (wide) {
        shown.width = static_cast<std::int32_t>(std::int64_t{window.height} * width / height);
        shown.x += (window.width - shown.width) / 2;
    } else {
        shown.height = static_cast<std::int32_t>(std::int64_t{window.width} * height / width);
        shown.y += (window.height - shown.height) / 2;
    }
    return shown;
}

}  // namespace kes
