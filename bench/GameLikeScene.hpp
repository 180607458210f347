// A scene built like the game's level, for tests and benchmarks of the renderer: the sun and
// its light, the ship at the start of the course, ten target zones and ten asteroids on the
// course's mid points, and a camera behind the ship.
#pragma once

#include <cmath>
#include <filesystem>
#include <string>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/GameLayer.hpp"
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
          shipModel(assets, "plane2", "pbr", glm::vec3(0.3f), 0.5f, 0.1f, glm::vec3(0.0f)),
          asteroidModel(assets, "Asteroid1", "pbr", glm::vec3(0.3f), 0.5f, 0.1f, glm::vec3(0.0f)),
          sunModel(assets, 45.0f, "water", glm::vec3(1.0f), 0.2f, 0.95f, glm::vec3(1.0f)),
          zoneModel(assets, "Targetzone", "pbr", glm::vec3(1.0f), 0.0f, 1.0f, glm::vec3(1.0f)),
          camera(90.0f, aspect, 0.1f, 1000.0f, glm::vec3(0.0f), 1.0f, {0, 0, 1}, {0, 1, 0}) {
        for (const glm::vec3& point : raceControlPoints()) {
            path.addControlPoint(point);
        }
        path.calculateLength();
        path.calculateMidPoints(10.0f);
        addTube(renderer);
        addSun(renderer);
        addShip(renderer);
        addZones(renderer);
        addAsteroids(renderer);
        aimCamera();
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
        path.generateMesh(25.0f, vertices, indices, vertexMids);
        std::vector<glm::vec3> centres;
        for (const PathMidPoint& mid : vertexMids) {
            centres.push_back(mid.position);
        }
        renderer.setPathMesh(
            std::make_unique<PathMesh>(assetsFolder, 25.0f, vertices, indices, centres));
    }

    void addSun(Renderer& renderer) {
        RigidBody* body = world.createRigidBody({kSunPosition, glm::quat(1, 0, 0, 0)});
        renderer.addNode(single("Sun", sunModel), body, 1.0f)->castsShadow = false;
        renderer.addLight(sunLight());
    }

    // Turned to face back along the course's start, as the game places it.
    void addShip(Renderer& renderer) {
        const glm::vec3 d = glm::normalize(path.getPoint(0.0f) - path.getPoint(0.01f));
        glm::quat q(std::sqrt(1.0f + d.z), d.y, -d.x, 0.0f);  // w, x, y, z
        RigidBody* body = world.createRigidBody({path.midPoints()[5].position, glm::normalize(q)});
        ship = renderer.addNode(single("Test", shipModel), body, 1.0f);
    }

    void addZones(Renderer& renderer) {
        const auto& mids = path.midPoints();
        const std::size_t step = mids.size() / 10;
        for (std::size_t k = 0; k < mids.size(); k += step) {
            const glm::vec3 p = mids[k].position;
            const glm::vec3 d = glm::normalize(mids[(k + 1) % mids.size()].position - p);
            const glm::vec3 axis = glm::normalize(glm::cross(glm::vec3(1, 0, 0), d));
            const glm::quat q = glm::normalize(glm::quat(1.0f + d.x, axis.x, axis.y, axis.z));
            CollisionBody* body = world.createCollisionBody({p, q});
            renderer.addNode(single("TargetZone", zoneModel), body, 1.0f)->scale = 13.5f;
        }
    }

    void addAsteroids(Renderer& renderer) {
        const auto& mids = path.midPoints();
        const std::size_t step = mids.size() / 10;
        for (std::size_t i = step / 2 + 5; i < mids.size(); i += step) {
            RigidBody* body = world.createRigidBody({mids[i].position, glm::quat(1, 0, 0, 0)});
            renderer.addNode(single("Test", asteroidModel), body, 1.0f);
        }
    }

    // 30.5 degrees down, 17 units behind the ship.
    void aimCamera() {
        const glm::quat tilt(glm::vec3(0.5323254f, 0.0f, 0.0f));
        camera.target = ship->render.position;
        camera.direction = tilt * glm::vec3(0, 0, 1);
        camera.up = tilt * glm::vec3(0, 1, 0);
        camera.distance = 17.0f;
        camera.dirty = true;
    }
};

}  // namespace kes::bench
