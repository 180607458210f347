// The ghost ship: a recorded round flown beside the player as a translucent glowing ship of its
// own colour (so it reads against the blue tube and never looks like the player's), where the
// recording had the ship at the running round's time (between two samples: position linearly,
// orientation by spherical interpolation). It is drawn only: no body, no contacts, no zones. It
// fades out within a few units of the player's ship, so it never hides the view, and is hidden
// while no round runs or no ghost is shown.
#pragma once

#include <filesystem>

#include <glm/glm.hpp>

#include "game/ghost/Ghost.hpp"
#include "render/Model.hpp"
#include "render/Renderer.hpp"

namespace kes {

// A ghost ship's colours: its albedo and its glow.
struct GhostLook {
    glm::vec3 albedo;
    glm::vec3 glow;
};

class GhostShip final : public TransformSource {
public:
    static constexpr float kFadeNear = 6.0f;  // units from the player's ship: gone
    static constexpr float kFadeFar = 24.0f;  // and from here on at its full opacity

    // A node of the ship's mesh from `assetsFolder` in `renderer`, which must outlive the
    // ghost ship.
    GhostShip(Renderer& renderer, const std::filesystem::path& assetsFolder, float opacity,
              const GhostLook& look);
    GhostShip(GhostShip&&) = delete;

    // The ghost to fly; none hides it.
    void show(const Ghost* ghost) { m_ghost = ghost; }
    const Ghost* shown() const { return m_ghost; }
    // Before each fixed step's drawing: where the ghost is `roundSeconds` into the round (or
    // hidden when no round runs), and how clearly, seen from the player's ship at `player`.
    void follow(bool roundRunning, float roundSeconds, const glm::vec3& player);
    // Drawn at `sample` for this frame, as clearly as seen from the player's ship at `player`,
    // whichever ghost it flies (the replay theatre puts it where the compared round was).
    void showAt(const GhostSample& sample, const glm::vec3& player);
    void hide() { node->visible = false; }

    Transform getTransform() const override { return m_transform; }
    SceneNode* node = nullptr;

private:
    Model m_model;
    const Ghost* m_ghost = nullptr;
    float m_opacity;
    Transform m_transform;
};

// The ghost's opacity at `distance` units from the player's ship.
float ghostOpacityAt(float opacity, float distance);

}  // namespace kes
