// What the player can change to play more comfortably, kept in the [Accessibility] section of
// the settings: the next ring's colour for red-green or blue-yellow colour blindness, reduced
// motion (the chase camera keeps the horizon level and the next ring does not pulse), the
// accelerate control toggled by a press rather than held, and captions for the sound cues.
#pragma once

#include <cstdint>

namespace kes {

enum class ColourVision : std::uint8_t { standard = 0, redGreen = 1, blueYellow = 2 };

struct Accessibility {
    ColourVision colours = ColourVision::standard;
    bool reducedMotion = false;
    bool accelerateToggles = false;  // a press starts accelerating, the next stops it
    bool captions = false;

    bool operator==(const Accessibility&) const = default;
};

// "standard", "red-green", "blue-yellow".
inline const char* toString(ColourVision colours) {
    switch (colours) {
        case ColourVision::redGreen: return "red-green";
        case ColourVision::blueYellow: return "blue-yellow";
        case ColourVision::standard: break;
    }
    return "standard";
}

}  // namespace kes
