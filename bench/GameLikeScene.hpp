// A scene built as the game builds its level, for tests and benchmarks of the renderer: the
// race's bodies in a physics service of its own (no fixed step is ever taken, so nothing moves),
// the level's look drawn from them, and the chase camera at rest behind the ship.
#pragma once

#include <filesystem>

#include "game/level/LevelLayout.hpp"
#include "game/level/LevelScene.hpp"
#include "physics/PhysicsService.hpp"
#include "game/race/RaceSimulation.hpp"
#include "render/Camera.hpp"
#include "render/Renderer.hpp"

namespace kes::bench {

class GameLikeScene {
public:
    // Must be destroyed before `renderer`'s next frame; the renderer keeps the nodes.
    GameLikeScene(Renderer& renderer, const std::filesystem::path& assets, float aspect)
        : camera(90.0f, aspect, 0.1f, 1000.0f, glm::vec3(0.0f), 1.0f, {0, 0, 1}, {0, 1, 0}),
          race(physics, Difficulty::hard),
          level(assets, traitsOf(renderer.quality())) {
        level.addTube(renderer, race);
        level.addNodes(renderer, physics, race);
        level::restCamera(camera, level.shipNode->render.position);
    }

    PhysicsService physics;
    Camera camera;
    RaceSimulation race;
    LevelScene level;
};

}  // namespace kes::bench
