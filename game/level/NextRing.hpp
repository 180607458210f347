// How the next ring is told from the others, by more than its colour: the colour chosen for the
// player's colour vision, a pulse (or, with reduced motion, a still and larger ring) and its
// number at its middle, as the race display names it.
#pragma once

#include <array>
#include <cstdint>

#include <glm/glm.hpp>

#include "app/Accessibility.hpp"

namespace kes {

class LevelScene;
class TextRenderer;

class NextRingLook {
public:
    // The settings as they are now, on the scene's next ring at `time` (seconds).
    void apply(const Accessibility& access, LevelScene& scene, float time);
    // The ring's number `zone` over its middle `position` when that is in view; allocates
    // nothing.
    void queueNumber(TextRenderer& text, const glm::mat4& viewProj, std::uint32_t zone,
                     const glm::vec3& position);

private:
    ColourVision m_colours = ColourVision::standard;  // as drawn
    std::array<char, 12> m_number{};
};

}  // namespace kes
