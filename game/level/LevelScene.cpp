#include "game/level/LevelScene.hpp"

#include <memory>

#include "game/level/LevelLayout.hpp"
#include "game/level/RingPalette.hpp"

namespace kes {
namespace {

NodeModels nodeOf(const char* name, Model& model) {
    return NodeModels{name, {&model}, {glm::mat4(1.0f)}};
}

}  // namespace

LevelScene::LevelScene(const std::filesystem::path& assetsFolder_, const QualityTraits& traits)
    : assetsFolder(assetsFolder_),
      shipModel(level::makeModel(assetsFolder, level::kShipLook)),
      asteroidModel(level::makeModel(assetsFolder, level::kAsteroidLook)),
      targetZoneModel(level::makeModel(assetsFolder, level::kZoneLook)),
      nextZoneModel(level::makeModel(assetsFolder, level::kNextZoneLook)),
      m_sunFine(traits.fineSun) {
    prepareMaterials(traits);
}

Model& LevelScene::sunModel(bool fine) {
    std::optional<Model>& sun = fine ? m_fineSun : m_coarseSun;
    if (!sun) {
        sun.emplace(level::makeModel(assetsFolder, level::kSunLook,
                                     fine ? SphereTessellation{} : kCoarseSphere));
    }
    return *sun;
}

void LevelScene::useFineSun(bool fine) {
    if (fine == m_sunFine) {
        return;
    }
    m_sunFine = fine;
    Model& sun = sunModel(fine);
    if (m_sunNode != nullptr) {
        m_sunNode->models[0] = &sun;
    }
}

void LevelScene::prepareMaterials(const QualityTraits& traits) {
    for (const Model* model :
         {&shipModel, &asteroidModel, &targetZoneModel, &nextZoneModel, &sunModel(m_sunFine)}) {
        model->prepare(traits);
    }
}

void LevelScene::addTube(Renderer& renderer, const RaceSimulation& race) const {
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> vertexMids;
    const float radius = race.course.tubeRadius;
    race.path.generateMesh(radius, vertices, indices, vertexMids);
    std::vector<glm::vec3> ringCentres;
    ringCentres.reserve(vertexMids.size());
    for (const PathMidPoint& mid : vertexMids) {
        ringCentres.push_back(mid.position);
    }
    renderer.setPathMesh(
        std::make_unique<PathMesh>(assetsFolder, radius, vertices, indices, ringCentres));
}

void LevelScene::addNodes(Renderer& renderer, PhysicsService& physics, const RaceSimulation& race) {
    m_sunBody =
        physics.createRigidBody(level::sunPosition(race.course), glm::vec3(0.0f), glm::vec3(0.0f));
    m_sunNode = renderer.addNode(nodeOf("Sun", sunModel(m_sunFine)), m_sunBody, 1.0f);
    m_sunNode->castsShadow = false;
    if (m_sunLight) {
        renderer.setLight(*m_sunLight, level::sunLight(race.course));
    } else {
        m_sunLight = renderer.addLight(level::sunLight(race.course));
    }
    shipNode = renderer.addNode(nodeOf("Test", shipModel), race.shipBody, 1.0f);
    for (CollisionBody* zone : race.zoneBodies) {
        SceneNode* node = renderer.addNode(nodeOf("TargetZone", targetZoneModel), zone, 1.0f);
        node->scale = level::kZoneModelScale;
        zoneNodes.push_back(node);
    }
    for (RigidBody* asteroid : race.asteroidBodies) {
        m_asteroidNodes.push_back(renderer.addNode(nodeOf("Test", asteroidModel), asteroid, 1.0f));
    }
    m_highlighted = RaceState::kNone;
}

void LevelScene::removeNodes(Renderer& renderer, PhysicsService& physics) {
    for (SceneNode* node : {m_sunNode, shipNode}) {
        if (node != nullptr) {
            renderer.removeNode(node);
        }
    }
    for (const auto* nodes : {&zoneNodes, &m_asteroidNodes}) {
        for (SceneNode* node : *nodes) {
            renderer.removeNode(node);
        }
    }
    m_sunNode = shipNode = nullptr;
    zoneNodes.clear();
    m_asteroidNodes.clear();
    releaseBodies(physics);
}

void LevelScene::releaseBodies(PhysicsService& physics) {
    if (m_sunBody != nullptr) {
        physics.world->destroyBody(m_sunBody);
    }
    m_sunBody = nullptr;
}

void LevelScene::highlightZone(std::uint32_t zone) {
    if (zone == m_highlighted) {
        return;
    }
    for (std::size_t i = 0; i < zoneNodes.size(); ++i) {
        zoneNodes[i]->models[0] = i == zone ? &nextZoneModel : &targetZoneModel;
        zoneNodes[i]->scale = level::kZoneModelScale;
    }
    m_highlighted = zone;
}

void LevelScene::sizeNextRing(float factor) {
    if (m_highlighted < zoneNodes.size()) {
        zoneNodes[m_highlighted]->scale = level::kZoneModelScale * factor;
    }
}

void LevelScene::colourNextRing(ColourVision colours) {
    const RingColours ring = nextRingColours(colours);
    nextZoneModel.material.albedo = ring.shown;
    nextZoneModel.material.emissive = ring.glow;
}

}  // namespace kes
