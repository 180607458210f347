#include "render/Quality.hpp"

#include <algorithm>
#include <cmath>

namespace kes {

const char* toString(QualityLevel level) {
    switch (level) {
        case QualityLevel::basic: return "basic";
        case QualityLevel::low: return "low";
        case QualityLevel::medium: return "medium";
        case QualityLevel::high: break;
    }
    return "high";
}

QualityTraits traitsOf(QualityLevel level) {
    switch (level) {
        case QualityLevel::basic: return {false, 0, false, false, false, true};
        case QualityLevel::low: return {false, 4, false, false, false, false};
        case QualityLevel::medium: return {false, 2, true, true, false, false};
        case QualityLevel::high: break;
    }
    return {true, 1, true, true, true, false};
}

std::vector<std::string> lightingDefines(QualityLevel level) {
    const QualityTraits traits = traitsOf(level);
    return {std::string("#define RESOLVE_FRAGMENT_LISTS ") + (traits.fragmentLists ? "1" : "0"),
            std::string("#define SOFT_SHADOWS ") + (traits.softShadows ? "1" : "0")};
}

PictureSize scaledPicture(std::uint32_t width, std::uint32_t height, float scale) {
    static constexpr std::uint32_t kSmallest = 16;
    const auto side = [scale](std::uint32_t full) {
        return std::max(kSmallest, static_cast<std::uint32_t>(std::lround(double(full) * scale)));
    };
    return {side(width), side(height)};
}

}  // namespace kes
