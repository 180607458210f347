#include "game/level/NextRing.hpp"

#include <charconv>
#include <cmath>
#include <string_view>

#include "game/level/LevelScene.hpp"
#include "game/level/RingPalette.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

constexpr float kNumberSize = 0.07f;
constexpr glm::vec2 kShadowOffset{0.004f, -0.006f};
constexpr float kPulsesASecond = 1.2f;
constexpr float kPulse = 0.1f;       // of the ring's size, either way
constexpr float kStillSize = 1.12f;  // with reduced motion
constexpr float kEdgeOfView = 0.95f;

}  // namespace

void NextRingLook::apply(const Accessibility& access, LevelScene& scene, float time) {
    if (access.colours != m_colours) {
        m_colours = access.colours;
        scene.colourNextRing(access.colours);
    }
    const float pulse = 1.0f + kPulse * std::sin(2.0f * 3.14159265f * kPulsesASecond * time);
    scene.sizeNextRing(access.reducedMotion ? kStillSize : pulse);
}

void NextRingLook::queueNumber(TextRenderer& text, const glm::mat4& viewProj, std::uint32_t zone,
                               const glm::vec3& position) {
    const glm::vec4 clip = viewProj * glm::vec4(position, 1.0f);
    if (clip.w <= 0.0f) {
        return;
    }
    const glm::vec2 at = glm::vec2(clip) / clip.w;
    if (std::abs(at.x) > kEdgeOfView || std::abs(at.y) > kEdgeOfView) {
        return;
    }
    const auto [end, error] =
        std::to_chars(m_number.data(), m_number.data() + m_number.size(), zone);
    if (error != std::errc()) {
        return;
    }
    const std::string_view number(m_number.data(), end);
    text.addText(number, at + kShadowOffset, kNumberSize, glm::vec3(0.0f), VerticalAnchor::centred,
                 HorizontalAnchor::centred);
    text.addText(number, at, kNumberSize, nextRingColours(m_colours).shown, VerticalAnchor::centred,
                 HorizontalAnchor::centred);
}

}  // namespace kes
