// The tests' way to the race layer's own parts, which the game reaches only through its
// methods.
#pragma once

#include <optional>

#include "game/level/GameLayer.hpp"

namespace kes {

struct GameLayerSeam {
    static RaceSimulation& simulation(GameLayer& game) { return game.m_run->simulation; }
    static LevelScene& scene(GameLayer& game) { return game.m_scene; }
    static GhostKeeper& ghosts(GameLayer& game) { return game.m_run->ghosts; }
    static GhostShip& ghostShip(GameLayer& game, std::size_t index = 0) {
        return game.m_ghosts.ship(index);
    }
    static RaceKeys& keys(GameLayer& game) { return game.m_keys; }
    static CamController_FollowSceneNode& cameraController(GameLayer& game) {
        return game.m_cameraController;
    }
    static std::optional<RecordKeeper>& records(GameLayer& game) { return game.m_run->records; }
};

}  // namespace kes
