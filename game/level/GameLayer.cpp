#include "game/level/GameLayer.hpp"

#include <algorithm>
#include <cmath>
#include <iostream>
#include <utility>

#include "game/race/FastestRound.hpp"
#include "game/race/HeadlessRace.hpp"
#include "game/level/LevelLayout.hpp"

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

// The level a fixed setting names; none for "auto".
std::optional<QualityLevel> fixedLevel(QualitySetting setting) {
    switch (setting) {
        case QualitySetting::basic: return QualityLevel::basic;
        case QualitySetting::low: return QualityLevel::low;
        case QualitySetting::medium: return QualityLevel::medium;
        case QualitySetting::high: return QualityLevel::high;
        case QualitySetting::automatic: break;
    }
    return std::nullopt;
}

// The choice the frames start with: a fixed level at the settings' scale, or under "auto" the
// governor's first, the cheapest, so the start stays short and the picture grows from there.
QualityChoice startingQuality(const App& app) {
    if (const auto level = fixedLevel(app.quality)) {
        return {*level, app.renderScale};
    }
    return QualityGovernor(static_cast<std::uint32_t>(app.renderSize.height)).choice();
}

// The text atlas's resolution for the window as it is now.
float atlasDpiOf(const App& app) {
    return atlasDpiFor(std::max(app.viewport.height, app.renderSize.height), app.displayDpi());
}

RendererSetup setupOf(App& app) {
    const QualityChoice quality = startingQuality(app);
    return {app.assetsPath, app.settings.brightness, atlasDpiOf(app),
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

GameLayer::GameLayer(App& app, RaceSetup setup)
    : GameLayer(app,
                CourseLibrary(app.assetsPath / "courses", app.folders.data / "courses", std::cout),
                std::move(setup)) {}

GameLayer::GameLayer(App& app, CourseLibrary library, RaceSetup setup)
    : m_app(app),
      m_setup(std::move(setup)),
      m_renderer(setupOf(app), static_cast<std::uint32_t>(app.renderSize.width),
                 static_cast<std::uint32_t>(app.renderSize.height),
                 kEffectReflections | kEffectBloom),
      m_scene(app.assetsPath, traitsOf(m_renderer.quality())),
      m_courses(std::move(library)),
      m_cameraController(&app.camera),
      m_camera(&app.camera, &m_cameraController),
      m_audio(app.sounds),
      m_console(std::cout),
      m_ghosts(m_renderer, app.assetsPath, app.settings.ghostOpacity),
      m_ghost(m_setup.ghost.value_or(app.settings.ghost)),
      m_secondGhost(m_setup.ghost ? GhostSetting::off : app.settings.secondGhost),
      m_splitsAgainst(app.settings.splits),
      m_targets(m_setup.keepRecords ? app.folders.data / "targets" : std::filesystem::path(),
                std::cout),
      m_history(m_setup.keepRecords ? app.folders.data : std::filesystem::path(), std::cout),
      m_library(m_setup.keepRecords ? app.folders.data / "ghosts" : std::filesystem::path(),
                std::cout),
      m_screenshots(app.folders.data / "screenshots") {
    // The game is played at hard difficulty whatever the file said, and saved that way.
    app.settings.difficulty = Difficulty::hard;
    startRun(m_courses.choose(m_setup.course.value_or(app.settings.course), std::cout),
             m_setup.recordsSaid);
    m_buildTimes.path = m_buildClock.lap();
    level::restCamera(app.camera, m_scene.shipNode->render.position);
    if (app.hid.listener == nullptr) {
        app.hid.listener = &m_keys;
    }
    app.cameraController = &m_camera;
    m_renderer.setClearColor(kSceneClearColour);
    if (app.quality == QualitySetting::automatic) {
        m_governor.emplace(static_cast<std::uint32_t>(app.renderSize.height));
    }
    app.sounds.startEngine();
    m_buildTimes.objects = m_buildClock.lap();
}

GameLayer::~GameLayer() {
    m_app.sounds.stopEngine();
    if (m_app.hid.listener == &m_keys) {
        m_app.hid.listener = nullptr;
    }
    if (m_app.cameraController == &m_camera) {
        m_app.cameraController = nullptr;
    }
}

// The course's run, heard by the layer's parts as the mode says, with the camera on its ship.
void GameLayer::startRun(Course course, bool recordsSaid) {
    m_chosenGhost.reset();
    m_run = std::make_unique<CourseRun>(m_app, m_renderer, m_scene, std::move(course),
                                        m_setup.keepRecords, recordsSaid, m_history,
                                        [this] { return targets(); });
    // The keeper's ghosts change with each round: the ships are shown them again.
    m_run->recorder.onRound = [this](const Ghost& ghost, const RoundResult& result) {
        CourseRun& run = *m_run;
        run.ghosts.roundFinished(ghost, result, run.records ? &*run.records : nullptr);
        showChosenGhosts();
        aimSplits();
    };
    // The targets are known before the first round ends (read from the player's folder, or
    // flown there and then: a few milliseconds), so no round's end waits for them.
    if (m_setup.keepRecords) {
        targets();
    }
    showChosenGhosts();
    aimSplits();
    listen(m_attract);
    m_cameraController.node = m_scene.shipNode;
    m_cameraController.body = m_run->simulation.shipBody;
    m_camera.follow(m_scene.shipNode);
    m_run->simulation.shipController.setPaused(m_app.paused());
    m_scene.highlightZone(m_run->simulation.nextZone());
}

void GameLayer::changeCourse(const std::string& name) {
    if (name == course().name) {
        return;
    }
    Course chosen = m_courses.choose(name, std::cout);
    m_run->release(m_renderer, m_scene, m_app.physics);
    m_run.reset();
    startRun(std::move(chosen), m_setup.recordsSaid);
    level::restCamera(m_app.camera, m_scene.shipNode->render.position);
}

// The race's observers as the mode says: in attract mode only the engine is heard.
void GameLayer::listen(bool attract) {
    CourseRun& run = *m_run;
    RaceState& race = run.simulation.race;
    RaceObserver* const quiet[] = {&m_console, &m_audio, &m_hud, &run.recorder, &run.tally};
    for (RaceObserver* observer : quiet) {
        race.removeObserver(observer);
        if (!attract) {
            race.addObserver(observer);
        }
    }
    if (run.records) {
        race.removeObserver(&*run.records);
        if (!attract) {
            race.addObserver(&*run.records);
        }
    }
    run.simulation.recorder = attract ? nullptr : &run.recorder;
}

void GameLayer::update(float frameDt, float time, float alpha) {
    sayPause();
    applyAccessibility(time);
    m_run->simulation.shipController.setPaused(m_app.paused());
    steerQuality(time);
    const RaceSimulation& race = m_run->simulation;
    m_renderer.setTubeHighlight(race.zonePosition(race.nextZone()), kRingSightRadius);
    m_renderer.prepareFrame(m_app.camera, frameDt, time, alpha);
    m_distanceToCourse = race.path.distanceToClosestMidPoint(m_scene.shipNode->render.position);
}

// The race's own words for a pause, whatever paused it (P, a pause menu, the window losing the
// focus).
void GameLayer::sayPause() {
    if (m_app.paused() != m_saidPaused) {
        m_saidPaused = m_app.paused();
        std::cout << (m_saidPaused ? "Race paused" : "Race resumed") << std::endl;
    }
}

// A paused game (or one held for the countdown) draws at most 30 frames a second by design, and
// a menu's passes draw another picture than the race's: those passes say nothing about how fast
// the race draws.
void GameLayer::steerQuality(float time) {
    if (!m_governor || !m_measurePasses || m_app.paused() || m_app.simulationHeld()) {
        m_lastPassTime = -1.0f;
        return;
    }
    if (m_lastPassTime >= 0.0f) {
        if (const auto change = m_governor->record(double(time - m_lastPassTime), double(time))) {
            setQuality(*change);
        }
        if (const auto rate = m_governor->settledRate(double(time))) {
            const PictureSize picture = m_renderer.pictureSize();
            std::cout << qualityLine(quality(), picture.width, picture.height, *rate) << std::endl;
        }
    }
    m_lastPassTime = time;
}

void GameLayer::setQuality(const QualityChoice& choice) {
    m_renderer.setQuality(choice.level, choice.scale);
    m_scene.useFineSun(traitsOf(choice.level).fineSun);
    m_scene.prepareMaterials(traitsOf(choice.level));
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
    setQuality({fixedLevel(setting).value_or(QualityLevel::high), scale});
}

void GameLayer::setAttract(bool attract) {
    if (attract == m_attract) {
        return;
    }
    m_attract = attract;
    listen(attract);
    if (!attract) {
        m_run->recorder.onRestart();  // the flight recorded from here did not begin at the start
    }
}

QualityChoice GameLayer::quality() const {
    return {m_renderer.quality(), m_renderer.renderScale()};
}

void GameLayer::render(float /*frameDt*/, float time, unsigned int framebuffer,
                       const Viewport* viewport) {
    m_scene.shipNode->visible = !m_menuOver;
    if (m_menuOver) {
        m_ghosts.ship(0).hide();
        m_ghosts.ship(1).hide();
    } else if (!m_attract) {
        m_hud.queue(m_renderer.text(), hudFacts(), time);
        m_ghosts.queue(m_renderer.text(), m_renderer.frameView().viewProj);
    }
    if (!m_menuOver && !m_attract) {
        const std::uint32_t zone = m_run->simulation.nextZone();
        m_nextRing.queueNumber(m_renderer.text(), m_renderer.frameView().viewProj, zone,
                               m_run->simulation.zonePosition(zone));
        if (m_app.settings.access.captions) {
            m_audio.captions().queue(m_renderer.text(), time, m_app.uiScale());
        }
    }
    m_screenshots.queueNote(m_renderer.text(), time);
    if (!m_menuOver) {
        queueGuide();
    }
    m_renderer.text().keepAtlasFor(atlasDpiOf(m_app));  // the window may have grown
    m_renderer.render(framebuffer, viewport);
    if (viewport != nullptr) {
        m_screenshots.afterDrawing(*viewport, time);
    }
}

// The player's accessibility settings, as they are now: the next ring's look and a level chase
// camera under reduced motion.
void GameLayer::applyAccessibility(float time) {
    const Accessibility& access = m_app.settings.access;
    m_nextRing.apply(access, m_scene, time);
    m_cameraController.keepLevel = access.reducedMotion;
}

HudFacts GameLayer::hudFacts() const {
    const RaceSimulation& simulation = m_run->simulation;
    const RaceState& race = simulation.race;
    const std::uint32_t upcoming = simulation.nextZone();
    return {race.roundsFinished,
            race.roundTime(),
            race.bestTime,
            recordTime(),
            upcoming,
            glm::length(simulation.zonePosition(upcoming) - m_scene.shipNode->render.position),
            m_app.paused() && m_pauseNotice,
            m_app.uiScale()};
}

const Course& GameLayer::course() const {
    return m_run->simulation.course;
}

const RaceSimulation& GameLayer::simulation() const {
    return m_run->simulation;
}

std::uint32_t GameLayer::nextZone() const {
    return m_run->simulation.nextZone();
}

void GameLayer::addRaceObserver(RaceObserver* observer) {
    m_run->simulation.race.addObserver(observer);
}

void GameLayer::removeRaceObserver(RaceObserver* observer) {
    m_run->simulation.race.removeObserver(observer);
}

Autopilot GameLayer::autopilot() {
    return autopilotFor(m_run->simulation);
}

void GameLayer::flyRecorded(const ControlSource* flight) {
    m_run->simulation.replay = flight;
}

const FlightRecorder& GameLayer::recorder() const {
    return m_run->recorder;
}

HidListener& GameLayer::ship() {
    return m_run->simulation.shipController;
}

std::optional<float> GameLayer::recordTime() const {
    const auto& records = m_run->records;
    if (!records || !records->record()) {
        return std::nullopt;
    }
    return records->record()->bestTime;
}

std::vector<float> GameLayer::recordSplits() const {
    const auto& records = m_run->records;
    if (!records || !records->record()) {
        return {};
    }
    return records->record()->splits;
}

void GameLayer::showGhost(GhostSetting ghost) {
    showGhosts(ghost, m_secondGhost);
}

void GameLayer::showGhosts(GhostSetting first, GhostSetting second) {
    m_ghost = first;
    m_secondGhost = second;
    m_chosenGhost.reset();
    showChosenGhosts();
}

void GameLayer::raceGhost(const Ghost& ghost, std::string what) {
    m_chosenGhost = ghost;
    m_chosenWhat = std::move(what);
    showChosenGhosts();
}

const Ghost* GameLayer::ghostFor(GhostSetting setting) {
    return setting == GhostSetting::prime ? primeRound() : m_run->ghosts.shown(setting);
}

void GameLayer::showChosenGhosts() {
    const GhostField::Shown first = m_chosenGhost
                                        ? GhostField::Shown{&*m_chosenGhost, m_chosenWhat}
                                        : GhostField::Shown{ghostFor(m_ghost), toString(m_ghost)};
    m_ghosts.show(first, {ghostFor(m_secondGhost), toString(m_secondGhost)});
}

const TargetTimes* GameLayer::targets() {
    return targetsOf(m_run->simulation.course);
}

const TargetTimes* GameLayer::targetsOf(const Course& course) {
    const std::optional<TargetTimes>& times = m_targets.targets(course);
    return times ? &*times : nullptr;
}

const Ghost* GameLayer::primeRound() {
    return m_targets.primeRound(m_run->simulation.course);
}

void GameLayer::setSplitsAgainst(SplitsAgainst against) {
    m_splitsAgainst = against;
    aimSplits();
}

// Against the target: the next medal above the one the record holds (the splits of prime's
// round, scaled to that medal's time); with prime held, or without targets, the record again.
void GameLayer::aimSplits() {
    RaceState& race = m_run->simulation.race;
    const TargetTimes* times = m_splitsAgainst == SplitsAgainst::target ? targets() : nullptr;
    if (times == nullptr) {
        race.setSplitTarget({});
        return;
    }
    const std::optional<float> record = recordTime();
    const float held = record ? *record : race.bestTime;
    const Medal chased = nextMedal(medalFor(held, *times));
    race.setSplitTarget(chased == Medal::none ? std::vector<float>{}
                                              : targetSplits(*times, chased));
}

void GameLayer::setPaused(bool paused) {
    m_app.setPaused(paused);
    m_run->simulation.shipController.setPaused(paused);
}

// An arrow above the ship towards the next zone, while that zone is out of view or the ship
// has left the tube.
void GameLayer::queueGuide() {
    if (m_watchingReplay) {
        return;  // the round watched found its way; the race's next zone is not its
    }
    const RaceSimulation& simulation = m_run->simulation;
    const glm::vec3 ship = m_scene.shipNode->render.position;
    const glm::vec3 zone = simulation.zonePosition(simulation.nextZone());
    const perFrameData& view = m_renderer.frameView();
    // The view's up in the world: the second column of the inverse view matrix (still zero
    // before the first frame's camera is known).
    const glm::vec3 viewUp(view.viewInv[1]);
    const glm::vec3 cameraUp =
        glm::length(viewUp) > 1e-6f ? glm::normalize(viewUp) : glm::vec3(0.0f, 1.0f, 0.0f);
    const bool offCourse = m_distanceToCourse > simulation.course.tubeRadius;
    if (const auto arrow = guideArrow(ship, zone, view.viewProj, cameraUp, offCourse)) {
        m_renderer.addDebugArrow(*arrow);
    }
}

// The nodes take where physics moved the bodies before the ship's controller turns the ship
// for the next step.
void GameLayer::fixedUpdate(float time) {
    RaceSimulation& simulation = m_run->simulation;
    // The race's clock goes on while the countdown holds the race, so the touch of zone 0 at
    // GO is stamped with GO's own time; nothing else moves.
    simulation.beginStep();
    if (m_app.simulationHeld()) {
        return;
    }
    // The ship's body stands where this step's physics left it: a step into the clock's time.
    const RaceState& race = simulation.race;
    m_ghosts.follow(!m_attract && race.lastChecked != RaceState::kNone,
                    race.roundTime() - kFixedStep, simulation.shipBody->getTransform().position);
    m_renderer.syncPhysics(time);
    simulation.steerShip();
    m_scene.highlightZone(simulation.nextZone());
    standCameraBy(simulation.nextZone());
    m_audio.steerEngine(simulation.shipController);
}

void GameLayer::showReplayAt(const ReplayStage& stage, const GhostSample& ship,
                             std::uint32_t stepsIn, std::size_t ringsPassed,
                             const GhostSample* beside) {
    m_watchingReplay = true;
    RaceSimulation& simulation = m_run->simulation;
    simulation.shipBody->setTransform({ship.position, ship.orientation});
    const std::size_t rocks = std::min(stage.rocks(), simulation.asteroidBodies.size());
    for (std::size_t i = 0; i < rocks; ++i) {
        RigidBody& rock = *simulation.asteroidBodies[i];
        rock.setTransform({stage.rockAt(i, stepsIn), rock.getTransform().orientation});
    }
    m_renderer.syncPhysics(0.0f);
    m_scene.shipNode->jumpToBody();
    const auto zones = static_cast<std::uint32_t>(simulation.zoneBodies.size());
    const auto ahead = static_cast<std::uint32_t>((ringsPassed + 1) % zones);
    m_scene.highlightZone(ahead);
    standCameraBy(ahead);
    m_ghosts.ship(1).hide();
    if (beside != nullptr) {
        m_ghosts.ship(0).showAt(*beside, ship.position);
    } else {
        m_ghosts.ship(0).hide();
    }
}

void GameLayer::standCameraBy(std::uint32_t zone) {
    const Transform ring = m_run->simulation.zoneBodies[zone]->getTransform();
    m_camera.standBy(ring.position, ring.orientation, course().tubeRadius);
}

FlightStart GameLayer::freshStart() const {
    return HeadlessRace(m_run->simulation.course).simulation.flightStart();
}

bool GameLayer::startFlightFrom(const FlightStart& start) {
    if (!m_run->simulation.startFlightFrom(start)) {
        return false;
    }
    m_scene.shipNode->jumpToBody();
    m_scene.highlightZone(m_run->simulation.nextZone());
    return true;
}

void GameLayer::restartRace() {
    m_watchingReplay = false;
    m_run->simulation.restart();
    m_scene.shipNode->jumpToBody();
    m_scene.highlightZone(m_run->simulation.nextZone());
}

void GameLayer::togglePause() {
    setPaused(!m_app.paused());
}

bool GameLayer::racePaused() const {
    return m_app.paused();
}

void GameLayer::toggleDebugShapes() {
    m_app.physics.toggleDebugRendering();
}

void GameLayer::toggleShadowMapTiles() {
    m_renderer.toggleShadowMapTiles();
}

}  // namespace kes
