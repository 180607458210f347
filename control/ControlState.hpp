// The ship controller's inputs from one step on: which of its directions are held and how
// strongly. A recorded flight is these, step by step.
#pragma once

#include <array>
#include <cstdint>

namespace kes {

struct ControlState {
    static constexpr std::size_t kDirections = 8;
    std::uint8_t held = 0;
    std::array<float, kDirections> strengths{};
    bool operator==(const ControlState&) const = default;
};

}  // namespace kes
