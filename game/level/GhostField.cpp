#include "game/level/GhostField.hpp"

#include "game/race/FigureText.hpp"
#include "text/DrawableText.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

// The first ghost pale green, the second pink: both read against the blue tube and neither is
// the amber of the next ring.
constexpr GhostLook kLooks[2] = {{{0.25f, 1.0f, 0.4f}, {0.1f, 0.7f, 0.2f}},
                                 {{1.0f, 0.35f, 0.85f}, {0.7f, 0.15f, 0.55f}}};
constexpr float kTagSize = 0.05f;
constexpr glm::vec2 kTagShadow{0.003f, -0.004f};
constexpr glm::vec3 kShadow{0.0f};
constexpr float kTagAbove = 0.06f;  // of the screen's height, over the ghost's centre
constexpr glm::vec2 kRacingAt{0.97f, 0.9f};
constexpr float kRacingSize = 0.05f;

std::string nameOf(const Ghost& ghost) {
    return ghost.playerName.empty() ? tr("unnamed") : drawableText(ghost.playerName).text;
}

}  // namespace

GhostField::GhostField(Renderer& renderer, const std::filesystem::path& assetsFolder, float opacity)
    : m_ships{GhostShip(renderer, assetsFolder, opacity, kLooks[0]),
              GhostShip(renderer, assetsFolder, opacity, kLooks[1])} {}

void GhostField::show(const Shown& first, const Shown& second) {
    m_racing.clear();
    const Shown* chosen[2] = {&first, &second};
    for (std::size_t i = 0; i < 2; ++i) {
        const Ghost* ghost = chosen[i]->ghost;
        // The same ghost twice is flown once.
        if (i == 1 && ghost == first.ghost) {
            ghost = nullptr;
        }
        m_ships[i].show(ghost);
        m_tags[i] = ghost != nullptr ? nameOf(*ghost) : std::string();
        if (ghost != nullptr) {
            // TRANSLATORS: a ghost raced: which ("record"), its time, whose.
            m_racing += (m_racing.empty() ? tr("vs ") : "  /  ") +
                        fill(tr("{1} {2} ({3})"), {tr(chosen[i]->what.c_str()),
                                                   threeDecimals(ghost->roundTime), m_tags[i]});
        }
    }
}

void GhostField::follow(bool roundRunning, float roundSeconds, const glm::vec3& player) {
    for (GhostShip& ship : m_ships) {
        ship.follow(roundRunning, roundSeconds, player);
    }
}

void GhostField::queue(TextRenderer& text, const glm::mat4& viewProj) const {
    for (std::size_t i = 0; i < 2; ++i) {
        const GhostShip& ship = m_ships[i];
        if (!ship.node->visible) {
            continue;
        }
        const glm::vec4 clip = viewProj * glm::vec4(ship.getTransform().position, 1.0f);
        if (clip.w <= 0.0f) {
            continue;
        }
        const glm::vec2 at = glm::vec2(clip) / clip.w + glm::vec2(0.0f, kTagAbove);
        if (std::abs(at.x) > 1.0f || std::abs(at.y) > 1.0f) {
            continue;
        }
        // A dark copy under the tag keeps it legible over the bright tube; the light is strong
        // enough to keep the ship's hue through the display's mapping.
        text.addText(m_tags[i], at + kTagShadow, kTagSize, kShadow, VerticalAnchor::standing,
                     HorizontalAnchor::centred);
        text.addText(m_tags[i], at, kTagSize, kLooks[i].albedo * 1.6f, VerticalAnchor::standing,
                     HorizontalAnchor::centred);
    }
    if (!m_racing.empty()) {
        text.addText(m_racing, kRacingAt, kRacingSize, glm::vec3(1.0f), VerticalAnchor::hanging,
                     HorizontalAnchor::ending);
    }
}

}  // namespace kes
