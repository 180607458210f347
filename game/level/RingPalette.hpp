// The next ring's colour for each colour-vision setting, and the check that it stays apart from
// the other rings (white) and the tube (blue) for the people it is meant for: dichromat vision
// is simulated on the palette (protanopia, deuteranopia, tritanopia, full severity, in linear
// light) and colours are compared in CIELAB. Standard is the amber ring; red-green vision gets a
// yellow one, which keeps its distance from white and blue; blue-yellow vision, to whom yellow
// and white look alike, gets a red one.
#pragma once

#include <glm/glm.hpp>

#include "app/Accessibility.hpp"

namespace kes {

struct RingColours {
    glm::vec3 shown;  // as it reads on the screen (the albedo)
    glm::vec3 glow;   // its emission
};

RingColours nextRingColours(ColourVision colours);

enum class Vision { normal, protanopia, deuteranopia, tritanopia };

// How `colour` (linear RGB, 0 to 1) looks to a person of `vision`.
glm::vec3 seenBy(Vision vision, const glm::vec3& colour);
// The CIELAB distance between two linear RGB colours (each clamped to 0 to 1).
float colourDistance(const glm::vec3& a, const glm::vec3& b);

}  // namespace kes
