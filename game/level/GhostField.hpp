// The ghosts raced against: one or two at once, each a ghost ship of its own colour with its
// name tag over it, and the line of the race display that says whom the player races
// ("vs record 24.350 (Ada) · prime 23.717 (Prime)"). The first ghost is the settings' choice or
// one chosen from the course's table of ghosts (until the course changes or the player chooses
// again); the second is the settings' second choice. Who they are is resolved here; the ghosts
// themselves belong to their keepers and must outlive the choice (show them again after a
// keeper changes).
#pragma once

#include <array>
#include <optional>
#include <string>

#include "app/Settings.hpp"
#include "game/ghost/Ghost.hpp"
#include "game/level/GhostShip.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

class GhostField {
public:
    GhostField(Renderer& renderer, const std::filesystem::path& assetsFolder, float opacity);

    // The ghosts to fly, with what the display calls them ("record", "prime", "imported").
    struct Shown {
        const Ghost* ghost = nullptr;
        std::string what;
    };
    void show(const Shown& first, const Shown& second);
    // Before each fixed step's drawing (see GhostShip::follow).
    void follow(bool roundRunning, float roundSeconds, const glm::vec3& player);
    // The name tags over the ghosts in view and the line saying whom the player races.
    void queue(TextRenderer& text, const glm::mat4& viewProj) const;

    const GhostShip& ship(std::size_t index) const { return m_ships[index]; }
    GhostShip& ship(std::size_t index) { return m_ships[index]; }
    // "vs record 24.350 (Ada) · prime 23.717 (Prime)"; empty when no ghost is raced.
    const std::string& racingLine() const { return m_racing; }

private:
    std::array<GhostShip, 2> m_ships;
    std::array<std::string, 2> m_tags;
    std::string m_racing;
};

}  // namespace kes
