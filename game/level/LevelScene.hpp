// What the level looks like: its models, the sun with its light, the tube around the course, and
// a scene node for every body of the race, each following its body. The models stay while the
// nodes of one course go and another's come (a course chosen on the course screen). The zone to
// touch next wears the amber ring, every other zone the plain one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "physics/PhysicsService.hpp"
#include "game/race/RaceSimulation.hpp"
#include "app/Accessibility.hpp"
#include "render/Model.hpp"
#include "render/Quality.hpp"
#include "render/Renderer.hpp"

namespace kes {

class LevelScene {
public:
    // Loads the models from `assetsFolder`, with the sun's sphere and the programs a level of
    // `traits` draws (see useFineSun and prepareMaterials).
    LevelScene(const std::filesystem::path& assetsFolder, const QualityTraits& traits);

    // The tube mesh around the course, of the course's radius.
    void addTube(Renderer& renderer, const RaceSimulation& race) const;
    // The sun (a body of its own in `physics`, which owns it, where the course places it) and
    // its light, then a node for the ship, each zone and each asteroid of `race`, in that order.
    void addNodes(Renderer& renderer, PhysicsService& physics, const RaceSimulation& race);
    // Takes the sun's body out of `physics`'s world (see RaceSimulation::releaseBodies).
    void releaseBodies(PhysicsService& physics);
    // Takes the course's nodes (sun, ship, zones, asteroids) out of `renderer` and the sun's
    // body out of `physics`'s world, before the nodes of another course are added; the models
    // and the sun's light stay (the light moves to the next course's sun).
    void removeNodes(Renderer& renderer, PhysicsService& physics);
    // The amber ring moves to `zone`.
    void highlightZone(std::uint32_t zone);
    // The next ring drawn `factor` times its size (a pulse, or a still, larger ring), in the
    // colours of `colours`.
    void sizeNextRing(float factor);
    void colourNextRing(ColourVision colours);
    // The sun drawn with its full sphere or a coarse one (made the first time it is asked for):
    // the full one's 130 000 triangles cost a software rasteriser several milliseconds a frame.
    void useFineSun(bool fine);
    // Compiles now the programs the models draw with at a level of `traits` (each is otherwise
    // made when first drawn), so a broken shader stops the start or the change of level, not a
    // frame.
    void prepareMaterials(const QualityTraits& traits);

    std::filesystem::path assetsFolder;
    Model shipModel;
    Model asteroidModel;
    Model targetZoneModel;
    Model nextZoneModel;  // the same ring, glowing amber: the zone to touch next
    SceneNode* shipNode = nullptr;
    std::vector<SceneNode*> zoneNodes;

private:
    Model& sunModel(bool fine);

    std::optional<Model> m_fineSun;
    std::optional<Model> m_coarseSun;
    bool m_sunFine;
    SceneNode* m_sunNode = nullptr;
    RigidBody* m_sunBody = nullptr;
    std::vector<SceneNode*> m_asteroidNodes;
    std::optional<std::uint32_t> m_sunLight;
    std::uint32_t m_highlighted = RaceState::kNone;
};

}  // namespace kes
