#include "game/level/GhostShip.hpp"

#include "game/level/LevelLayout.hpp"

namespace kes {

float ghostOpacityAt(float opacity, float distance) {
    return opacity * glm::smoothstep(GhostShip::kFadeNear, GhostShip::kFadeFar, distance);
}

GhostShip::GhostShip(Renderer& renderer, const std::filesystem::path& assetsFolder, float opacity,
                     const GhostLook& look)
    : m_model(assetsFolder, level::kShipLook.mesh, "pbr", look.albedo, 0.0f, 0.6f, look.glow,
              /*textures=*/false),
      m_opacity(opacity) {
    NodeModels models{"Ghost", {&m_model}, {glm::mat4(1.0f)}};
    node = renderer.addNode(std::move(models), this, opacity);
    node->castsShadow = false;
    node->visible = false;
}

void GhostShip::follow(bool roundRunning, float roundSeconds, const glm::vec3& player) {
    if (m_ghost == nullptr || !roundRunning) {
        node->visible = false;
        return;
    }
    showAt(m_ghost->at(roundSeconds), player);
}

void GhostShip::showAt(const GhostSample& sample, const glm::vec3& player) {
    m_transform = {sample.position, sample.orientation};
    const float opacity = ghostOpacityAt(m_opacity, glm::distance(sample.position, player));
    // Too faint to see is not drawn at all (and a node of opacity 1 would be drawn opaque).
    node->visible = opacity > 0.01f;
    node->opacity = std::min(opacity, 0.99f);
}

}  // namespace kes
