#include "game/screens/FrontDoor.hpp"

#include <iostream>

#include "game/course/CourseLayout.hpp"
#include "game/course/RacePath.hpp"
#include "game/race/FastestRound.hpp"
#include "game/screens/CountdownScreen.hpp"
#include "game/screens/Menu.hpp"
#include "game/screens/RacingScreen.hpp"
#include "game/screens/TitleScreen.hpp"
#include "text/DrawableText.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

// The sizes offered for a window; a full screen offers the monitor's own modes.
constexpr std::pair<std::int32_t, std::int32_t> kWindowSizes[] = {
    {640, 480},  {800, 600},   {1024, 768},  {1280, 720}, {1366, 768},
    {1600, 900}, {1920, 1080}, {2560, 1440}, {3840, 2160}};

}  // namespace

FrontDoor::FrontDoor(App& app, RaceSetup setup) : m_app(app) {
    setup.recordsSaid = true;  // the front door says them, once in the run
    m_game = std::make_unique<GameLayer>(
        m_app,
        CourseLibrary(m_app.assetsPath / "courses", m_app.folders.data / "courses", std::cout),
        std::move(setup));
    m_app.hid.listener = &m_router;  // the router, not the race layer's own keys, takes input
    m_game->setAttract(true);
    m_game->showPauseNotice(false);  // the pause menu says it
    m_pilot.emplace(m_game->autopilot());
    sayRecordSkipped(m_game->course(), peekRecords(m_app.folders.data));
    sayRecordsSkipped();
    applyVolumes();
    m_screens.push(std::make_unique<TitleScreen>(*this));
}

FrontDoor::~FrontDoor() {
    listenToRounds(false);
    if (m_app.hid.listener == &m_router) {
        m_app.hid.listener = nullptr;
    }
    m_app.holdSimulation(false);
}

// The results hear the player's rounds only, never the attract mode's.
void FrontDoor::listenToRounds(bool listen) {
    if (listen == m_resultsListening || !m_game) {
        return;
    }
    listen ? m_game->addRaceObserver(&m_results) : m_game->removeRaceObserver(&m_results);
    m_resultsListening = listen;
}

// The ship back at the start, the player's from now on; the clock starts at GO.
void FrontDoor::startRace() {
    m_game->restartRace();
    m_game->setAttract(false);
    m_results.startRace(m_game->recordSplits(), targets());
    listenToRounds(true);
    m_screens.reset(std::make_unique<CountdownScreen>(*this));
}

void FrontDoor::quitToTitle() {
    m_app.holdSimulation(false);
    listenToRounds(false);
    m_game->setAttract(true);
    m_game->restartRace();
    m_screens.reset(std::make_unique<TitleScreen>(*this));
}

// Only what the course decides is made anew; the renderer and the models stay.
void FrontDoor::chooseCourse(const std::string& name) {
    if (name == m_game->course().name) {
        return;
    }
    m_app.settings.course = name;
    saveSettings();
    listenToRounds(false);
    m_game->changeCourse(name);
    m_pilot.emplace(m_game->autopilot());
    sayRecordSkipped(m_game->course(), peekRecords(m_app.folders.data));
}

void FrontDoor::setQuality(QualitySetting quality, float scale) {
    m_game->setQualitySetting(quality, scale);
}

void FrontDoor::applyVolumes() {
    const Settings& settings = m_app.settings;
    m_app.sounds.setVolumes(settings.masterVolume, settings.engineVolume, settings.effectsVolume);
}

std::vector<std::pair<std::int32_t, std::int32_t>> FrontDoor::windowSizes(
    Presentation presentation) const {
    if (presentation == Presentation::fullscreen) {
        auto modes = m_app.gl.monitorSizes();
        if (!modes.empty()) {
            return modes;
        }
    }
    return {std::begin(kWindowSizes), std::end(kWindowSizes)};
}

void FrontDoor::applyLanguage() {
    m_app.speakSettingsLanguage();
}

bool FrontDoor::applyWindow() {
    const Settings& settings = m_app.settings;
    return m_app.gl.setFullscreen(settings.presentation == Presentation::fullscreen, settings.width,
                                  settings.height, settings.refreshRate);
}

// The bundled courses and the player's own, each with its length and the record kept on it
// (the records file read once, without changing it).
std::vector<CourseRow> FrontDoor::courseRows() {
    sayRecordsSkipped();
    const bool kept = m_game->keepsRecords();
    const std::vector<KeptRecord> sections =
        kept ? peekRecords(m_app.folders.data) : std::vector<KeptRecord>{};
    std::vector<CourseRow> rows;
    for (const Course& course : m_game->courses().courses()) {
        std::string problem;
        const auto record =
            kept ? recordOf(sections, keyOf(course), recordFitOf(course), problem) : std::nullopt;
        const TargetTimes* targets = m_game->targetsOf(course);
        CourseMap map = courseMap(course);
        const float length = map.length;
        rows.push_back({course.name, course.title, length,
                        record ? std::optional(record->bestTime) : std::nullopt,
                        targets ? std::optional(*targets) : std::nullopt, std::move(map)});
    }
    return rows;
}

void FrontDoor::showGhosts() {
    m_game->showGhosts(m_app.settings.ghost, m_app.settings.secondGhost);
}

std::optional<TargetTimes> FrontDoor::targets() {
    const TargetTimes* times = m_game->targets();
    return times ? std::optional(*times) : std::nullopt;
}

std::vector<GhostRow> FrontDoor::ghostTable() {
    const TargetTimes* times = m_game->targets();
    std::vector<GhostRow> rows;
    for (const Ghost& ghost : m_game->library().of(m_game->course())) {
        rows.push_back({drawableText(ghost.playerName).text, ghost.roundTime,
                        times ? medalFor(ghost.roundTime, *times) : Medal::none});
    }
    return rows;
}

// The table as it was listed last (the screen lists it as it opens).
void FrontDoor::raceTableGhost(std::size_t index) {
    const std::vector<Ghost>& listed = m_game->library().listed();
    if (index < listed.size()) {
        m_game->raceGhost(listed[index], "imported");
    }
}

std::vector<ReplayChoice> FrontDoor::replays() {
    std::vector<ReplayChoice> choices;
    for (const GhostSetting setting :
         {GhostSetting::record, GhostSetting::best, GhostSetting::last, GhostSetting::prime}) {
        const Ghost* ghost = m_game->ghostOf(setting);
        if (ghost != nullptr && ghost->flyable()) {
            choices.push_back({toString(setting), *ghost});
        }
    }
    for (const Ghost& ghost : m_game->library().of(m_game->course())) {
        choices.push_back({trLater("imported"), ghost});
    }
    return choices;
}

FlightStart FrontDoor::startOf(const Ghost& ghost) {
    return ghost.start ? *ghost.start : m_game->freshStart();
}

CourseFacts FrontDoor::courseFacts() {
    const Course& course = m_game->course();
    return {statisticsOf(m_game->history().entries(), course.name, courseHash(course)), targets()};
}

// Each course's section of the records file that does not fit it, said once in the run: the
// level's own course when it is built, every course's at the start and when the course screen
// opens (another copy of the game may have written since).
void FrontDoor::sayRecordSkipped(const Course& course, const std::vector<KeptRecord>& sections) {
    if (!m_game->keepsRecords()) {
        return;
    }
    std::string problem;
    recordOf(sections, keyOf(course), recordFitOf(course), problem);
    if (problem.empty()) {
        return;
    }
    const std::string line = skippedSectionLine(m_app.folders.data / RecordsFile::kFileName,
                                                recordSection(keyOf(course)), problem);
    if (m_recordLinesSaid.insert(line).second) {
        std::cout << line << std::endl;
    }
}

void FrontDoor::sayRecordsSkipped() {
    const std::vector<KeptRecord> sections = peekRecords(m_app.folders.data);
    for (const Course& course : m_game->courses().courses()) {
        sayRecordSkipped(course, sections);
    }
}

std::string FrontDoor::screenName() const {
    return top() != nullptr ? top()->name() : "";
}

std::string FrontDoor::countdownText() const {
    if (const auto* countdown = dynamic_cast<const CountdownScreen*>(top())) {
        return countdown->shown();
    }
    if (const auto* racing = dynamic_cast<const RacingScreen*>(top())) {
        return racing->showsGo() ? "GO" : "";
    }
    return {};
}

void FrontDoor::update(float frameDt, float time, float alpha) {
    m_screens.collect();
    m_results.now(time);
    // Only the race's own passes steer the automatic quality, never a menu's.
    m_game->measurePasses(top()->flies());
    m_game->update(frameDt, time, alpha);
    top()->frame(double(time));
}

void FrontDoor::fixedUpdate(float time) {
    m_game->fixedUpdate(time);
    if (m_game->attract() && m_pilot && !m_app.simulationHeld()) {
        m_pilot->step(m_game->nextZone());
    }
    top()->fixedStep();
}

void FrontDoor::render(float frameDt, float time, unsigned int framebuffer,
                       const Viewport* viewport) {
    m_screens.collect();
    Screen& screen = *top();
    // The level behind a menu is dimmed, so the menu reads over the bright tube.
    const float dimming = screen.dimsLevel() ? kMenuDimming : 1.0f;
    m_game->renderer().setBrightness(m_app.settings.brightness * dimming);
    m_game->setMenuOver(screen.dimsLevel());
    TextRenderer& text = m_game->renderer().text();
    screen.queue(text, time);
    screen.queueLines(m_game->renderer().screenLines());
    if (screen.flies()) {  // the race's own screens, not the theatre
        m_results.queue(text, time);
        m_results.queueLines(m_game->renderer().screenLines(), time);
    }
    m_game->render(frameDt, time, framebuffer, viewport);
}

}  // namespace kes
