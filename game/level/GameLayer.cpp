#include "game/level/GameLayer.hpp"

#include <cmath>
#include <utility>
#include <iostream>

#include "game/race/FastestRound.hpp"
#include "game/level/LevelLayout.hpp"
#include "platform/OpenGL.hpp"

namespace kes {
namespace {

constexpr glm::vec4 kGuideColour{1.0f, 0.62f, 0.12f, 1.0f};
constexpr float kGuideScale = 9.0f;  // the arrow's length in units
constexpr float kGuideAbove = 5.0f;  // units above the ship, towards the camera's up
constexpr glm::vec3 kSceneClearColour{0.075f};

// Inside the view: in front of the camera and within the screen's edges.
bool inView(const glm::vec3& point, const glm::mat4& viewProj) {
    const glm::vec4 clip = viewProj * glm::vec4(point, 1.0f);
    return clip.w > 0.0f && std::fabs(clip.x) <= clip.w && std::fabs(clip.y) <= clip.w;
}

// The tube clears in front of the next ring out to a little beyond its rim (the ring's outer
// radius is about the zone's sphere), so its whole amber circle shows.
constexpr float kRingSightRadius = 1.2f * level::kZoneSphereRadius;

// The choice the frames start with: a fixed level at the settings' scale, or under "auto" the
// governor's first, the cheapest, so the start stays short and the picture grows from there.
QualityChoice startingQuality(const App& app) {
    switch (app.quality) {
        case QualitySetting::low: return {QualityLevel::low, app.renderScale};
        case QualitySetting::medium: return {QualityLevel::medium, app.renderScale};
        case QualitySetting::high: return {QualityLevel::high, app.renderScale};
        case QualitySetting::automatic: break;
    }
    return QualityGovernor(static_cast<std::uint32_t>(app.renderSize.height)).choice();
}

RendererSetup setupOf(App& app) {
    const QualityChoice quality = startingQuality(app);
    return {app.assetsPath, app.settings.brightness, systemDpi(),
            &app.physics,   quality.level,           quality.scale};
}

}  // namespace

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

GameLayer::GameLayer(App& app)
    : GameLayer(
          app, CourseLibrary(app.assetsPath / "courses", app.folders.data / "courses", std::cout)) {
}

GameLayer::GameLayer(App& app, CourseLibrary library, bool recordsSaid)
    : m_app(app),
      renderer(setupOf(app), static_cast<std::uint32_t>(app.renderSize.width),
               static_cast<std::uint32_t>(app.renderSize.height),
               kEffectReflections | kEffectBloom),
      scene(app.assetsPath, traitsOf(renderer.quality()).fineSun),
      courses_(std::move(library)),
      simulation(app.physics, app.settings.difficulty, courses_.choose(app.courseName, std::cout)),
      cameraController(&app.camera),
      audio(app.sounds),
      console(std::cout),
      recorder(simulation.course),
      ghosts(app.keepsRecords ? app.folders.data : std::filesystem::path(), simulation.course,
             std::cout),
      ghostShip(renderer, app.assetsPath, app.settings.ghostOpacity) {
    scene.addTube(renderer, simulation);
    buildTimes.path = m_buildClock.lap();
    RaceState& race = simulation.race;
    race.addObserver(&console);
    race.addObserver(&audio);
    race.addObserver(&hud);
    if (app.keepsRecords) {
        records.emplace(app.folders.data, race, std::cout, keyOf(simulation.course),
                        recordFitOf(simulation.course), !recordsSaid);
        race.addObserver(&*records);
    }
    scene.addNodes(renderer, app.physics, simulation);
    race.addObserver(&recorder);
    simulation.recorder = &recorder;
    recorder.onRound = [this](const Ghost& ghost, const RoundResult& result) {
        ghosts.roundFinished(ghost, result, records ? &*records : nullptr);
        ghostShip.show(ghosts.shown(m_app.ghost));
    };
    ghostShip.show(ghosts.shown(app.ghost));
    cameraController.node = scene.shipNode;
    cameraController.body = simulation.shipBody;
    level::restCamera(app.camera, scene.shipNode->render.position);
    if (app.hid.listener == nullptr) {
        app.hid.listener = &keys;
    }
    app.cameraController = &cameraController;
    renderer.setClearColor(kSceneClearColour);
    scene.highlightZone(simulation.nextZone());
    if (app.quality == QualitySetting::automatic) {
        m_governor.emplace(static_cast<std::uint32_t>(app.renderSize.height));
    }
    app.sounds.startEngine();
    buildTimes.objects = m_buildClock.lap();
}

GameLayer::~GameLayer() {
    m_app.sounds.stopEngine();
    if (m_app.hid.listener == &keys) {
        m_app.hid.listener = nullptr;
    }
    if (m_app.cameraController == &cameraController) {
        m_app.cameraController = nullptr;
    }
}

void GameLayer::update(float frameDt, float time, float alpha) {
    simulation.shipController.setPaused(m_app.paused());
    steerQuality(time);
    renderer.setTubeHighlight(simulation.zonePosition(simulation.nextZone()), kRingSightRadius);
    renderer.prepareFrame(m_app.camera, frameDt, time, alpha);
    m_distanceToCourse = simulation.path.distanceToClosestMidPoint(scene.shipNode->render.position);
}

// A paused game (or one held for the countdown) draws at most 30 frames a second by design:
// those passes say nothing about the machine.
void GameLayer::steerQuality(float time) {
    if (!m_governor || m_app.paused() || m_app.simulationHeld()) {
        m_lastPassTime = -1.0f;
        return;
    }
    if (m_lastPassTime >= 0.0f) {
        if (const auto change = m_governor->record(double(time - m_lastPassTime), double(time))) {
            setQuality(*change);
        }
        if (const auto rate = m_governor->settledRate(double(time))) {
            const PictureSize picture = renderer.pictureSize();
            std::cout << qualityLine(quality(), picture.width, picture.height, *rate) << std::endl;
        }
    }
    m_lastPassTime = time;
}

void GameLayer::setQuality(const QualityChoice& choice) {
    renderer.setQuality(choice.level, choice.scale);
    scene.useFineSun(traitsOf(choice.level).fineSun);
}

void GameLayer::setQualitySetting(QualitySetting setting, float scale) {
    m_app.quality = setting;
    m_app.renderScale = scale;
    m_lastPassTime = -1.0f;
    if (setting == QualitySetting::automatic) {
        m_governor.emplace(static_cast<std::uint32_t>(m_app.renderSize.height));
        setQuality(m_governor->choice());
        return;
    }
    m_governor.reset();
    const QualityLevel level = setting == QualitySetting::low      ? QualityLevel::low
                               : setting == QualitySetting::medium ? QualityLevel::medium
                                                                   : QualityLevel::high;
    setQuality({level, scale});
}

void GameLayer::setAttract(bool attract) {
    if (attract == m_attract) {
        return;
    }
    m_attract = attract;
    RaceState& race = simulation.race;
    for (RaceObserver* observer :
         {static_cast<RaceObserver*>(&console), static_cast<RaceObserver*>(&audio),
          static_cast<RaceObserver*>(&hud), static_cast<RaceObserver*>(&recorder)}) {
        if (attract) {
            race.removeObserver(observer);
        } else {
            race.addObserver(observer);
        }
    }
    if (records) {
        if (attract) {
            race.removeObserver(&*records);
        } else {
            race.addObserver(&*records);
        }
    }
    simulation.recorder = attract ? nullptr : &recorder;
    if (!attract) {
        recorder.onRestart();  // the flight recorded from here did not begin at the start
    }
}

void GameLayer::releaseBodies() {
    simulation.releaseBodies(m_app.physics);
    scene.releaseBodies(m_app.physics);
}

QualityChoice GameLayer::quality() const {
    return {renderer.quality(), renderer.renderScale()};
}

void GameLayer::render(float /*frameDt*/, float time, unsigned int framebuffer,
                       const Viewport* viewport) {
    if (!m_attract) {
        hud.queue(renderer.text(), hudFacts(), time);
    }
    queueGuide();
    renderer.render(framebuffer, viewport);
}

HudFacts GameLayer::hudFacts() const {
    const RaceState& race = simulation.race;
    const std::uint32_t upcoming = simulation.nextZone();
    return {race.roundsFinished,
            race.roundTime(),
            race.bestTime,
            recordTime(),
            upcoming,
            glm::length(simulation.zonePosition(upcoming) - scene.shipNode->render.position),
            m_app.paused() && m_pauseNotice};
}

std::vector<float> GameLayer::recordSplits() const {
    if (!records || !records->record()) {
        return {};
    }
    return records->record()->splits;
}

void GameLayer::showGhost(GhostSetting ghost) {
    m_app.ghost = ghost;
    ghostShip.show(ghosts.shown(ghost));
}

void GameLayer::setPaused(bool paused) {
    m_app.setPaused(paused);
    simulation.shipController.setPaused(paused);
}

std::optional<float> GameLayer::recordTime() const {
    if (!records || !records->record()) {
        return std::nullopt;
    }
    return records->record()->bestTime;
}

// An arrow above the ship towards the next zone, while that zone is out of view or the ship
// has left the tube.
void GameLayer::queueGuide() {
    const glm::vec3 ship = scene.shipNode->render.position;
    const glm::vec3 zone = simulation.zonePosition(simulation.nextZone());
    const perFrameData& view = renderer.frameView();
    // The view's up in the world: the second column of the inverse view matrix (still zero
    // before the first frame's camera is known).
    const glm::vec3 viewUp(view.viewInv[1]);
    const glm::vec3 cameraUp =
        glm::length(viewUp) > 1e-6f ? glm::normalize(viewUp) : glm::vec3(0.0f, 1.0f, 0.0f);
    const bool offCourse = m_distanceToCourse > simulation.course.tubeRadius;
    if (const auto arrow = guideArrow(ship, zone, view.viewProj, cameraUp, offCourse)) {
        renderer.addDebugArrow(*arrow);
    }
}

// The nodes take where physics moved the bodies before the ship's controller turns the ship
// for the next step.
void GameLayer::fixedUpdate(float time) {
    if (m_app.simulationHeld()) {
        return;  // the countdown before a race: the race stands still
    }
    simulation.beginStep(time);
    // The ship's body stands where this step's physics left it: a step into the clock's time.
    const RaceState& race = simulation.race;
    ghostShip.follow(!m_attract && race.lastChecked != RaceState::kNone,
                     race.roundTime() - kFixedStep, simulation.shipBody->getTransform().position);
    renderer.syncPhysics(time);
    simulation.steerShip();
    scene.highlightZone(simulation.nextZone());
    audio.steerEngine(simulation.shipController);
}

void GameLayer::restartRace() {
    simulation.restart();
    scene.shipNode->jumpToBody();
    scene.highlightZone(simulation.nextZone());
}

void GameLayer::togglePause() {
    m_app.setPaused(!m_app.paused());
    simulation.shipController.setPaused(m_app.paused());
}

bool GameLayer::racePaused() const {
    return m_app.paused();
}

void GameLayer::toggleDebugShapes() {
    m_app.physics.toggleDebugRendering();
}

void GameLayer::toggleShadowMapTiles() {
    renderer.toggleShadowMapTiles();
}

}  // namespace kes
