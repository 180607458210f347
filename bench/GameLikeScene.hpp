// A scene built like the game's level from the same layout, for tests and benchmarks of the
// renderer: the sun and its light, the ship at the start of the course, ten target zones and
// ten asteroids on the course's mid points, and the chase camera at rest behind the ship.
#pragma once

#include <cmath>
#include <filesystem>
#include <string>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/LevelLayout.hpp"
#include "game/Physics.hpp"
#include "game/RacePath.hpp"
#include "render/Camera.hpp"
#include "render/Model.hpp"
#include "render/Renderer.hpp"

namespace kes::bench {

class GameLikeScene {
public:
    // Must be destroyed before `renderer`'s next frame; the renderer keeps the nodes.
    GameLikeScene(Renderer& renderer, const std::filesystem::path& assets, float aspect)
        : assetsFolder(assets),
          shipModel(level::makeModel(assets, level::kShipLook)),
          asteroidModel(level::makeModel(assets, level::kAsteroidLook)),
          sunModel(level::makeModel(assets, level::kSunLook)),
          zoneModel(level::makeModel(assets, level::kZoneLook)),
          camera(90.0f, aspect, 0.1f, 1000.0f, glm::vec3(0.0f), 1.0f, {0, 0, 1}, {0, 1, 0}) {
        level::layOutCourse(path);
        addTube(renderer);
        addSun(renderer);
        addShip(renderer);
        addZones(renderer);
        addAsteroids(renderer);
        level::restCamera(camera, ship->render.position);
    }

    std::filesystem::path assetsFolder;
    PhysicsWorld world{"scene"};
    RacePath path;
    Model shipModel;
    Model asteroidModel;
    Model sunModel;
    Model zoneModel;
    SceneNode* ship = nullptr;
    Camera camera;

private:
    static NodeModels single(const std::string& name, Model& model) {
        return NodeModels{name, {&model}, {glm::mat4(1.0f)}};
    }

    void addTube(Renderer& renderer) {
        std::vector<glm::vec3> vertices;
        std::vector<std::uint16_t> indices;
        std::vector<PathMidPoint> vertexMids;
        path.generateMesh(level::kTubeRadius, vertices, indices, vertexMids);
        std::vector<glm::vec3> centres;
        for (const PathMidPoint& mid : vertexMids) {
            centres.push_back(mid.position);
        }
        renderer.setPathMesh(std::make_unique<PathMesh>(assetsFolder, level::kTubeRadius, vertices,
                                                        indices, centres));
    }

    void addSun(Renderer& renderer) {
        RigidBody* body = world.createRigidBody({level::kSunPosition, glm::quat(1, 0, 0, 0)});
        renderer.addNode(single("Sun", sunModel), body, 1.0f)->castsShadow = false;
        renderer.addLight(level::sunLight());
    }

    void addShip(Renderer& renderer) {
        RigidBody* body =
            world.createRigidBody({path.midPoints()[level::kShipStartMidPoint].position,
                                   level::shipLaunchOrientation(path)});
        ship = renderer.addNode(single("Test", shipModel), body, 1.0f);
    }

    void addZones(Renderer& renderer) {
        const auto& mids = path.midPoints();
        for (const std::size_t k : level::zoneMidPoints(mids.size())) {
            CollisionBody* body =
                world.createCollisionBody({mids[k].position, level::zoneOrientation(mids, k)});
            renderer.addNode(single("TargetZone", zoneModel), body, 1.0f)->scale =
                level::kZoneModelScale;
        }
    }

    void addAsteroids(Renderer& renderer) {
        const auto& mids = path.midPoints();
        for (const std::size_t k : level::asteroidMidPoints(mids.size())) {
            RigidBody* body = world.createRigidBody({mids[k].position, glm::quat(1, 0, 0, 0)});
            renderer.addNode(single("Test", asteroidModel), body, 1.0f);
        }
    }
};

}  // namespace kes::bench
