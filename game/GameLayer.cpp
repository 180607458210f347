#include "game/GameLayer.hpp"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <iostream>
#include <numbers>
#include <sstream>

#include <glm/gtc/quaternion.hpp>

#include "app/App.hpp"
#include "control/Autopilot.hpp"

namespace kes {

namespace {

constexpr float kHalfPi = std::numbers::pi_v<float> / 2.0f;
constexpr glm::vec3 kHudColour{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kAheadColour{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehindColour{1.0f, 0.3f, 0.25f};
constexpr glm::vec4 kGuideColour{1.0f, 0.62f, 0.12f, 1.0f};
constexpr float kGuideScale = 9.0f;         // the arrow's length in units
constexpr float kGuideAbove = 5.0f;         // units above the ship, towards the camera's up
constexpr float kSplitShownSeconds = 2.0f;  // real seconds
constexpr std::uint8_t kHanging = 0;        // vertical anchor: the text hangs below the point
constexpr std::uint8_t kCentred = 1;        // either anchor: the text is centred on the point
constexpr std::uint8_t kStanding = 2;       // vertical anchor: the text stands on the point
constexpr std::uint8_t kStarting = 0;       // horizontal anchor: the text starts at the point
constexpr std::uint8_t kEnding = 2;         // horizontal anchor: the text ends at the point

NodeModels nodeOf(const char* name, Model& model) {
    return NodeModels{name, {&model}, {glm::mat4(1.0f)}};
}

std::string threeDecimals(float value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << value;
    return text.str();
}

std::string signedThreeDecimals(float value) {
    std::ostringstream text;
    text << std::fixed << std::setprecision(3) << std::showpos << value;
    return text.str();
}

// Inside the view: in front of the camera and within the screen's edges.
bool inView(const glm::vec3& point, const glm::mat4& viewProj) {
    const glm::vec4 clip = viewProj * glm::vec4(point, 1.0f);
    return clip.w > 0.0f && std::fabs(clip.x) <= clip.w && std::fabs(clip.y) <= clip.w;
}

}  // namespace

float difficultyFactor(Difficulty difficulty) {
    switch (difficulty) {
        case Difficulty::easy: return 0.5f;
        case Difficulty::medium: return 2.5f;
        case Difficulty::hard: return 5.0f;
    }
    return 1.0f;
}

std::optional<DebugArrow> guideArrow(const glm::vec3& ship, const glm::vec3& zone,
                                     const glm::mat4& viewProj, const glm::vec3& cameraUp,
                                     bool offCourse) {
    const glm::vec3 toZone = zone - ship;
    if ((!offCourse && inView(zone, viewProj)) || glm::length(toZone) < 1e-3f) {
        return std::nullopt;
    }
    // Above the ship as the camera sees it, so the ship never hides the arrow.
    return DebugArrow{ship + cameraUp * kGuideAbove, glm::normalize(toZone), kGuideScale,
                      kGuideColour};
}

float speedFactorFor(Difficulty difficulty, float distanceToCourse) {
    float closeness = 1.0f;
    if (distanceToCourse > 7.0f) {
        closeness = 1.0f - std::clamp((distanceToCourse - 7.0f) / 37.5f, 0.0f, 1.0f);
    }
    return 1.0f + closeness * difficultyFactor(difficulty);
}

GameLayer::GameLayer()
    : renderer(static_cast<std::uint32_t>(App::instance()->renderSize.width),
               static_cast<std::uint32_t>(App::instance()->renderSize.height),
               kEffectReflections | kEffectBloom),
      race{.verbose = true, .targetZoneCount = 10},
      shipModel(level::makeModel(App::instance()->assetsPath, level::kShipLook)),
      asteroidModel(level::makeModel(App::instance()->assetsPath, level::kAsteroidLook)),
      sunModel(level::makeModel(App::instance()->assetsPath, level::kSunLook)),
      targetZoneModel(level::makeModel(App::instance()->assetsPath, level::kZoneLook)),
      nextZoneModel(level::makeModel(App::instance()->assetsPath, level::kNextZoneLook)) {
    buildTimes.models = m_buildClock.lap();
    App& app = *App::instance();
    app.physics.world->setEventListener(&collisionsListener);
    race.observer = this;
    if (app.keepsRecords) {
        m_recordsFile.emplace(app.appPath, static_cast<std::size_t>(race.targetZoneCount));
        record = m_recordsFile->load(std::cout);
        if (record) {
            race.setReference(record->bestTime, record->splits);
        }
    }
    createSun();
    buildTimes.objects = m_buildClock.lap();
    createPath();
    buildTimes.path = m_buildClock.lap();
    createShip();
    createTargetZones();
    aimCamera();

    shipController.node = shipNode;
    shipController.raceCommands = this;
    shipController.respawn(shipNode->render.position);
    shipController.position = shipNode->render.position;
    shipController.orientation = shipNode->render.orientation;
    m_launchPosition = shipNode->render.position;
    m_launchOrientation = shipNode->render.orientation;
    if (app.hid.listener == nullptr) {
        app.hid.listener = &shipController;
    }
    app.cameraController = &cameraController;

    for (const std::size_t mid : level::asteroidMidPoints(path.midPoints().size())) {
        createAsteroid(path.midPoints()[mid].position);
    }
    renderer.setClearColor(glm::vec3(0.075f));
    highlightNextZone();
    app.sounds.startEngine();
    buildTimes.objects += m_buildClock.lap();
}

// Bodies and shapes stay: they go with the physics world.
GameLayer::~GameLayer() {
    App& app = *App::instance();
    app.sounds.stopEngine();
    if (app.hid.listener == &shipController) {
        app.hid.listener = nullptr;
    }
    if (app.cameraController == &cameraController) {
        app.cameraController = nullptr;
    }
}

void GameLayer::createSun() {
    RigidBody* body = App::instance()->physics.createRigidBody(level::kSunPosition, glm::vec3(0.0f),
                                                               glm::vec3(0.0f));
    renderer.addNode(nodeOf("Sun", sunModel), body, 1.0f)->castsShadow = false;
    renderer.addLight(level::sunLight());
}

void GameLayer::createPath() {
    level::layOutCourse(path);
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> vertexMids;
    path.generateMesh(level::kTubeRadius, vertices, indices, vertexMids);
    std::vector<glm::vec3> ringCentres;
    ringCentres.reserve(vertexMids.size());
    for (const PathMidPoint& mid : vertexMids) {
        ringCentres.push_back(mid.position);
    }
    renderer.setPathMesh(
        std::make_unique<PathMesh>(level::kTubeRadius, vertices, indices, ringCentres));
}

// The ship starts on mid point 5, its nose turned back along the start of the course.
void GameLayer::createShip() {
    PhysicsService& physics = App::instance()->physics;
    RigidBody* body = physics.createRigidBody(path.midPoints()[level::kShipStartMidPoint].position,
                                              glm::vec3(0.0f), glm::vec3(0.0f));
    body->addCollider(
        physics.common.createCapsuleShape(level::kShipHullRadius, level::kShipHullHeight),
        {glm::vec3(0.0f), glm::quat(glm::vec3(kHalfPi, 0.0f, 0.0f))});
    CollisionShape* wing = physics.common.createBoxShape(level::kShipWingHalfExtents);
    const glm::quat upright(1.0f, 0.0f, 0.0f, 0.0f);
    body->addCollider(wing, {{-level::kShipWingOffset, 0.0f, 0.0f}, upright});
    body->addCollider(wing, {{level::kShipWingOffset, 0.0f, 0.0f}, upright});
    body->setTransform({body->getTransform().position, level::shipLaunchOrientation(path)});
    shipNode = renderer.addNode(nodeOf("Test", shipModel), body, 1.0f);
}

// One zone every tenth of the course, turned to face along it; all share one sphere.
void GameLayer::createTargetZones() {
    PhysicsService& physics = App::instance()->physics;
    const std::vector<PathMidPoint>& mids = path.midPoints();
    CollisionShape* sphere = physics.common.createSphereShape(level::kZoneSphereRadius);
    for (const std::size_t k : level::zoneMidPoints(mids.size())) {
        CollisionBody* body =
            physics.world->createCollisionBody({mids[k].position, level::zoneOrientation(mids, k)});
        body->addCollider(sphere, {glm::vec3(0.0f), glm::quat(1.0f, 0.0f, 0.0f, 0.0f)});
        SceneNode* node = renderer.addNode(nodeOf("TargetZone", targetZoneModel), body, 1.0f);
        node->scale = level::kZoneModelScale;
        targetZones.push_back({body, node});
    }
}

void GameLayer::createAsteroid(const glm::vec3& position) {
    PhysicsService& physics = App::instance()->physics;
    RigidBody* body = physics.createRigidBody(position, glm::vec3(0.0f), glm::vec3(0.0f));
    body->addCollider(
        physics.common.createCapsuleShape(level::kAsteroidRadius, level::kAsteroidHeight),
        {glm::vec3(0.0f), glm::quat(glm::vec3(0.0f, 0.0f, kHalfPi))});
    renderer.addNode(nodeOf("Test", asteroidModel), body, 1.0f);
    asteroids.push_back({body});
}

void GameLayer::aimCamera() {
    cameraController.node = shipNode;
    level::restCamera(App::instance()->camera, shipNode->render.position);
}

void GameLayer::update(float frameDt, float time, float alpha) {
    renderer.prepareFrame(frameDt, time, alpha);
    m_distanceToCourse = path.distanceToClosestMidPoint(shipNode->render.position);
    shipController.speedFactor =
        speedFactorFor(App::instance()->settings.difficulty, m_distanceToCourse);
}

void GameLayer::render(float /*frameDt*/, float time, unsigned int framebuffer,
                       const Viewport* viewport) {
    queueHud(time);
    queueGuide();
    renderer.render(framebuffer, viewport);
}

std::uint32_t GameLayer::nextZone() const {
    return static_cast<std::uint32_t>(nextZoneAfter(race.lastChecked, targetZones.size()));
}

// The next zone wears the amber ring; every other zone the plain one.
void GameLayer::highlightNextZone() {
    const std::uint32_t upcoming = nextZone();
    if (upcoming == m_highlighted) {
        return;
    }
    for (std::size_t i = 0; i < targetZones.size(); ++i) {
        targetZones[i].node->models[0] = i == upcoming ? &nextZoneModel : &targetZoneModel;
    }
    m_highlighted = upcoming;
}

// An arrow above the ship towards the next zone, while that zone is out of view or the ship
// has left the tube.
void GameLayer::queueGuide() {
    const glm::vec3 ship = shipNode->render.position;
    const glm::vec3 zone = targetZones[nextZone()].body->getTransform().position;
    const perFrameData& view = renderer.frameView();
    // The view's up in the world: the second column of the inverse view matrix (still zero
    // before the first frame's camera is known).
    const glm::vec3 viewUp(view.viewInv[1]);
    const glm::vec3 cameraUp =
        glm::length(viewUp) > 1e-6f ? glm::normalize(viewUp) : glm::vec3(0.0f, 1.0f, 0.0f);
    const bool offCourse = m_distanceToCourse > level::kTubeRadius;
    if (const auto arrow = guideArrow(ship, zone, view.viewProj, cameraUp, offCourse)) {
        renderer.addDebugArrow(*arrow);
    }
}

void GameLayer::queueHud(float time) {
    TextRenderer& text = renderer.text();
    text.addText("Round", {0.55f, -0.9f}, 0.05f, kHudColour, kHanging, kEnding);
    text.addText(std::to_string(race.roundsFinished), {0.55f, -0.9f}, 0.1f, kHudColour, kStanding,
                 kEnding);
    text.addText("Time", {0.97f, -0.9f}, 0.05f, kHudColour, kHanging, kEnding);
    text.addText(threeDecimals(race.roundTime()), {0.97f, -0.9f}, 0.1f, kHudColour, kStanding,
                 kEnding);
    if (race.bestTime > 0.0f) {
        text.addText("Best Time", {0.97f, -0.73f}, 0.05f, kHudColour, kHanging, kEnding);
        text.addText(threeDecimals(race.bestTime), {0.97f, -0.73f}, 0.1f, kHudColour, kStanding,
                     kEnding);
    }
    if (record) {
        text.addText("Record", {0.55f, -0.73f}, 0.05f, kHudColour, kHanging, kEnding);
        text.addText(threeDecimals(record->bestTime), {0.55f, -0.73f}, 0.1f, kHudColour, kStanding,
                     kEnding);
    }
    const std::uint32_t upcoming = nextZone();
    const float distance = glm::length(targetZones[upcoming].body->getTransform().position -
                                       shipNode->render.position);
    text.addText("Next Zone " + std::to_string(upcoming), {-0.97f, 0.78f}, 0.05f, kHudColour,
                 kHanging, kStarting);
    text.addText(std::to_string(static_cast<long>(std::lround(distance))), {-0.97f, 0.78f}, 0.1f,
                 kHudColour, kStanding, kStarting);
    queueSplit(time);
    if (App::instance()->paused()) {
        text.addText("Paused", {0.0f, 0.0f}, 0.15f, kHudColour, kCentred, kCentred);
    }
}

// The last split against the best round, green when ahead and red when behind, for two
// seconds after its zone was checked; nothing while no best round exists.
void GameLayer::queueSplit(float time) {
    if (m_splitFresh) {
        m_splitShownUntil = time + kSplitShownSeconds;
        m_splitFresh = false;
    }
    if (!m_split || !m_split->delta || time > m_splitShownUntil) {
        return;
    }
    const float delta = *m_split->delta;
    renderer.text().addText(signedThreeDecimals(delta), {0.0f, 0.55f}, 0.16f,
                            delta <= 0.0f ? kAheadColour : kBehindColour, kCentred, kCentred);
}

// The asteroids swing together along x, a full swing every 2 pi seconds of simulation.
void GameLayer::fixedUpdate(float time) {
    // The contacts of the next step's physics update are stamped with that step's time.
    race.currentTime = time + kFixedStep;
    const float swing = 100.0f * std::sin(time + 0.5f);
    for (const Asteroid& asteroid : asteroids) {
        asteroid.body->setLinearVelocity({swing, 0.0f, 0.0f});
    }
    renderer.syncPhysics(time);
    shipController.fixedUpdate();
    highlightNextZone();
    const auto& levels = shipController.levels;
    App::instance()->sounds.setEngine(levels[HidListener_SceneNodeController::accelerate] -
                                          levels[HidListener_SceneNodeController::brake],
                                      shipController.speedFactor);
}

bool GameLayer::isShip(const CollisionBody* body) {
    return shipNode != nullptr && body == shipNode->rigidBody;
}

std::int32_t GameLayer::getTargetZoneIndex(const CollisionBody* body) {
    const auto found = std::find_if(targetZones.begin(), targetZones.end(),
                                    [body](const TargetZone& zone) { return zone.body == body; });
    return found == targetZones.end() ? -1 : static_cast<std::int32_t>(found - targetZones.begin());
}

void GameLayer::onTargetZoneTouched(std::int32_t index) {
    std::cout << ">>>> TargetZone with idx " << index << " touched " << std::endl;
    race.onTargetZoneReached(static_cast<std::uint32_t>(index));
}

std::int32_t GameLayer::getAsteroidIndex(const CollisionBody* body) {
    const auto found = std::find_if(asteroids.begin(), asteroids.end(),
                                    [body](const Asteroid& rock) { return rock.body == body; });
    return found == asteroids.end() ? -1 : static_cast<std::int32_t>(found - asteroids.begin());
}

// The ship goes back to the last zone it checked, or to the origin before the first.
void GameLayer::onAsteroidTouched(std::int32_t index) {
    std::cout << ">>>> Asteroid with idx " << index << " touched " << std::endl;
    const auto zone = static_cast<std::int32_t>(race.lastChecked);
    glm::vec3 respawnAt(0.0f);
    if (zone >= 0 && zone < static_cast<std::int32_t>(targetZones.size())) {
        respawnAt = targetZones[static_cast<std::size_t>(zone)].body->getTransform().position;
    }
    std::cout << "Respawning at targetZone " << zone << std::endl;
    App::instance()->sounds.play(SoundEffect::asteroidHit);
    shipController.respawn(respawnAt);
}

void GameLayer::restartRace() {
    shipController.respawn(m_launchPosition);
    shipController.orientation = m_launchOrientation;
    race.restart();
    m_split.reset();
    highlightNextZone();
    std::cout << "Race restarted" << std::endl;
}

void GameLayer::togglePause() {
    App& app = *App::instance();
    app.setPaused(!app.paused());
}

bool GameLayer::racePaused() const {
    return App::instance()->paused();
}

// The finish has its own sound, played with the round's result.
void GameLayer::onZoneChecked(const Split& split) {
    m_split = split;
    m_splitFresh = true;
    if (split.zone != 0) {
        App::instance()->sounds.play(SoundEffect::zoneChecked);
    }
}

// A ship sent back by an asteroid lands in the zone it checked last: touching that one again
// is no mistake of the player's, so it stays quiet.
void GameLayer::onWrongZone(std::uint32_t index) {
    if (index != race.lastChecked) {
        App::instance()->sounds.play(SoundEffect::wrongZone);
    }
}

// A round better than the kept record becomes the new record, written at once.
void GameLayer::onRoundFinished(float roundTime, bool newBest, bool newRecord) {
    App::instance()->sounds.play(newBest ? SoundEffect::newBest : SoundEffect::roundFinished);
    if (!newRecord || !m_recordsFile) {
        return;
    }
    record = RaceRecord{roundTime, race.referenceSplits};
    m_recordsFile->save(*record, std::cout);
}

}  // namespace kes
