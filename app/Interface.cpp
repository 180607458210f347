#include "app/Interface.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <ostream>

#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr std::size_t kLongestShown = 64;  // of a bad value, on the console

}  // namespace

std::string readLanguageSetting(const std::string& code, std::ostream& console) {
    if (code == "auto" || findLanguage(code) != nullptr) {
        return code;
    }
    console << "Language = " << code.substr(0, kLongestShown)
            << " is not a language the game has; using auto" << std::endl;
    return "auto";
}

std::optional<std::int32_t> readUiScaleSetting(const std::string& text, std::ostream& console) {
    if (text == "auto") {
        return std::nullopt;
    }
    std::int32_t percent = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), percent);
    if (error == std::errc() && end == text.data() + text.size() && percent >= kMinUiScale &&
        percent <= kMaxUiScale) {
        return percent;
    }
    console << "UIScale = " << text.substr(0, kLongestShown) << " is not auto or a percentage from "
            << kMinUiScale << " to " << kMaxUiScale << "; using auto" << std::endl;
    return std::nullopt;
}

float uiScaleFor(std::optional<std::int32_t> percent, std::int32_t windowHeight,
                 float contentScale) {
    if (percent) {
        return static_cast<float>(*percent) / 100.0f;
    }
    constexpr float kComfortableHeight = 720.0f;
    const float height =
        static_cast<float>(std::max(windowHeight, 1)) / std::max(contentScale, 0.25f);
    return std::clamp(std::sqrt(kComfortableHeight / height), 1.0f, 1.25f);
}

}  // namespace kes
