#include "game/screens/FrontDoor.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

#include <GLFW/glfw3.h>

#include "game/race/FastestRound.hpp"
#include "game/race/FigureText.hpp"
#include "game/level/LevelLayout.hpp"
#include "game/course/RacePath.hpp"
#include "platform/Gamepad.hpp"

namespace kes {
namespace {

constexpr glm::vec3 kAhead{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehind{1.0f, 0.3f, 0.25f};

// The sizes offered for a window; a full screen offers the monitor's own modes.
constexpr std::pair<std::int32_t, std::int32_t> kWindowSizes[] = {
    {640, 480},  {800, 600},   {1024, 768},  {1280, 720}, {1366, 768},
    {1600, 900}, {1920, 1080}, {2560, 1440}, {3840, 2160}};

std::string percent(float value) {
    return std::to_string(static_cast<int>(std::lround(value * 100.0f))) + " %";
}

float stepped(float value, int step, float by, float lowest, float highest) {
    const float next = std::round((value + by * static_cast<float>(step)) / by) * by;
    return std::clamp(next, lowest, highest);
}

QualitySetting nextQuality(QualitySetting quality, int step) {
    const int next = (static_cast<int>(quality) + step + 4) % 4;
    return static_cast<QualitySetting>(next);
}

GhostSetting nextGhost(GhostSetting ghost, int step) {
    return static_cast<GhostSetting>((static_cast<int>(ghost) + step + 3) % 3);
}

std::string bindingText(const Binding& binding) {
    const std::string key = binding.key == kNoKey ? "no key" : keyName(binding.key);
    const std::string button = binding.button == 0 ? "no button" : buttonName(binding.button);
    return key + " / " + button;
}

float courseLength(const Course& course) {
    RacePath path;
    path.console = nullptr;
    level::layOutCourse(path, course);
    return path.totalLength;
}

}  // namespace

FrontDoor::FrontDoor(App& app) : m_app(app) {
    buildGame();
    sayRecordsSkipped();
    m_app.sounds.setVolumes(app.settings.masterVolume, app.settings.engineVolume,
                            app.settings.effectsVolume);
    showTitle();
}

FrontDoor::~FrontDoor() {
    if (m_game) {
        m_game->simulation.race.removeObserver(this);
    }
    if (m_app.hid.listener == this) {
        m_app.hid.listener = nullptr;
    }
    m_app.holdSimulation(false);
}

// The level for the settings' course: the one before (if any) gives its bodies back to the
// world first, which stays.
void FrontDoor::buildGame() {
    std::optional<CourseLibrary> courses;  // read once, at the first build
    if (m_game) {
        m_game->simulation.race.removeObserver(this);
        m_game->releaseBodies();
        courses = std::move(m_game->courses);
        m_pilot.reset();
        m_game.reset();
    }
    if (!courses) {
        courses.emplace(m_app.assetsPath / "courses", m_app.folders.data / "courses", std::cout);
    }
    m_app.hid.listener = this;  // the game's layer then leaves the input to the front door
    m_game = std::make_unique<GameLayer>(m_app, std::move(*courses), true);
    sayRecordSkipped(m_game->simulation.course, peekRecords(m_app.folders.data));
    m_game->simulation.race.addObserver(this);
    m_game->setAttract(true);
    m_game->showPauseNotice(false);  // the pause menu says it
    m_pilot.emplace(autopilotFor(m_game->simulation));
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

bool FrontDoor::inMenu() const {
    return m_screen == Screen::title || m_screen == Screen::course ||
           m_screen == Screen::settings || m_screen == Screen::controls ||
           m_screen == Screen::paused;
}

void FrontDoor::show(Screen screen) {
    m_screen = screen;
    m_binding.reset();
}

void FrontDoor::showTitle() {
    show(Screen::title);
    m_menu = Menu{"DRIFTLINE PRIME", {}, 0};
    m_menu.entries.push_back({"Race", {}, [this] { startCountdown(); }, {}});
    m_menu.entries.push_back({"Course",
                              [this] {
                                  const Course& course = m_game->simulation.course;
                                  const auto record = m_game->recordTime();
                                  return course.title +
                                         (record ? "  (record " + threeDecimals(*record) + ")"
                                                 : std::string());
                              },
                              [this] { showCourses(); },
                              {}});
    const auto stepGhost = [this](int step) {
        m_app.ghost = m_app.settings.ghost = nextGhost(m_app.ghost, step);
        m_game->ghostShip.show(m_game->ghosts.shown(m_app.ghost));
        saveSettings();
    };
    m_menu.entries.push_back({"Ghost", [this] { return std::string(toString(m_app.ghost)); },
                              [stepGhost] { stepGhost(1); }, stepGhost});
    m_menu.entries.push_back({"Settings",
                              {},
                              [this] {
                                  m_settingsReturn = Screen::title;
                                  showSettings();
                              },
                              {}});
    m_menu.entries.push_back({"Quit", {}, [this] { m_app.gl.requestClose(); }, {}});
}

// Each course's section of the records file that does not fit it, said once in the run: the
// level's own course when it is built, every course's at the start and when the course screen
// opens (another copy of the game may have written since).
void FrontDoor::sayRecordSkipped(const Course& course, const std::vector<KeptRecord>& sections) {
    if (!m_app.keepsRecords) {
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
    for (const Course& course : m_game->courses.courses()) {
        sayRecordSkipped(course, sections);
    }
}

// The record kept for `course` in `sections` (read once for the screen, without changing the
// file), when it fits the course.
std::optional<RaceRecord> FrontDoor::keptRecord(const Course& course,
                                                const std::vector<KeptRecord>& sections) const {
    if (!m_app.keepsRecords) {
        return std::nullopt;
    }
    std::string problem;
    return recordOf(sections, keyOf(course), recordFitOf(course), problem);
}

void FrontDoor::showCourses() {
    show(Screen::course);
    m_menu = Menu{"COURSE", {}, 0};
    sayRecordsSkipped();
    const std::vector<KeptRecord> sections =
        m_app.keepsRecords ? peekRecords(m_app.folders.data) : std::vector<KeptRecord>{};
    for (const Course& course : m_game->courses.courses()) {
        const auto record = keptRecord(course, sections);
        const std::string value =
            std::to_string(static_cast<long>(std::lround(courseLength(course)))) + " units" +
            (record ? ", record " + threeDecimals(record->bestTime) : "");
        m_menu.entries.push_back({course.title,
                                  [value] { return value; },
                                  [this, name = course.name] { chooseCourse(name); },
                                  {}});
        if (course.name == m_game->simulation.course.name) {
            m_menu.selected = m_menu.entries.size() - 1;
        }
    }
    m_menu.entries.push_back(
        {"Seed", [this] { return m_seedText; }, [this] { chooseCourse("seed:" + m_seedText); },
         [this](int step) {
             const long long seed =
                 std::clamp(std::atoll(m_seedText.c_str()) + step, 0ll, 4294967295ll);
             m_seedText = std::to_string(seed);
         }});
    m_menu.entries.push_back({"Back", {}, [this] { showTitle(); }, {}});
}

void FrontDoor::showSettings() {
    show(Screen::settings);
    m_menu = Menu{"SETTINGS", {}, 0};
    Settings& settings = m_app.settings;
    m_menu.entries.push_back(
        {"Window",
         [this, &settings] {
             const bool later = settings.presentation == Presentation::fullscreen;
             return std::to_string(settings.width) + " x " + std::to_string(settings.height) +
                    (later ? " (at the next start)" : "");
         },
         {},
         [this, &settings](int step) {
             const auto sizes = windowSizes(settings.presentation);
             const auto count = static_cast<int>(sizes.size());
             int index = -1;
             for (int i = 0; i < count; ++i) {
                 if (sizes[i].first <= settings.width && sizes[i].second <= settings.height) {
                     index = i;  // the largest that fits the size set
                 }
             }
             const auto& [width, height] =
                 sizes[static_cast<std::size_t>(((index + step) % count + count) % count)];
             settings.width = width;
             settings.height = height;
             if (settings.presentation == Presentation::windowed) {
                 m_app.gl.resizeWindow(width, height);
             }
             saveSettings();
         }});
    m_menu.entries.push_back(
        {"Presentation",
         [&settings] {
             return std::string(toString(settings.presentation)) + " (at the next start)";
         },
         {},
         [this, &settings](int) {
             settings.presentation = settings.presentation == Presentation::windowed
                                         ? Presentation::fullscreen
                                         : Presentation::windowed;
             saveSettings();
         }});
    m_menu.entries.push_back(
        {"Brightness",
         [&settings] {
             char text[16];
             std::snprintf(text, sizeof text, "%.1f", double(settings.brightness));
             return std::string(text);
         },
         {},
         [this, &settings](int step) {
             settings.brightness = stepped(settings.brightness, step, 0.1f, 0.3f, 3.0f);
             saveSettings();
         }});
    m_menu.entries.push_back({"Quality",
                              [this] { return std::string(toString(m_app.quality)); },
                              {},
                              [this, &settings](int step) {
                                  settings.quality = nextQuality(m_app.quality, step);
                                  m_game->setQualitySetting(settings.quality, settings.renderScale);
                                  saveSettings();
                              }});
    m_menu.entries.push_back(
        {"Render scale",
         [this, &settings] {
             return m_app.quality == QualitySetting::automatic ? std::string("chosen by auto")
                                                               : percent(settings.renderScale);
         },
         {},
         [this, &settings](int step) {
             settings.renderScale =
                 stepped(settings.renderScale, step, 0.05f, Settings::kMinRenderScale, 1.0f);
             if (m_app.quality != QualitySetting::automatic) {
                 m_game->setQualitySetting(m_app.quality, settings.renderScale);
             }
             saveSettings();
         }});
    const auto volume = [this, &settings](const char* label, float Settings::*member) {
        m_menu.entries.push_back(
            {label,
             [&settings, member] { return percent(settings.*member); },
             {},
             [this, &settings, member](int step) {
                 settings.*member = stepped(settings.*member, step, 0.1f, 0.0f, 1.0f);
                 m_app.sounds.setVolumes(settings.masterVolume, settings.engineVolume,
                                         settings.effectsVolume);
                 saveSettings();
             }});
    };
    volume("Master volume", &Settings::masterVolume);
    volume("Engine volume", &Settings::engineVolume);
    volume("Effects volume", &Settings::effectsVolume);
    m_menu.entries.push_back({"Controls", {}, [this] { showControls(); }, {}});
    m_menu.entries.push_back({"Back", {}, [this] { back(); }, {}});
}

void FrontDoor::showControls() {
    show(Screen::controls);
    m_menu = Menu{"CONTROLS", {}, 0};
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        m_menu.entries.push_back(
            {actionName(action),
             [this, action] { return bindingText(m_app.settings.controls.of(action)); },
             [this, action] {
                 m_binding = action;
                 m_bindingSince = Clock::now();
             },
             {}});
    }
    m_menu.entries.push_back({"Defaults",
                              {},
                              [this] {
                                  m_app.settings.controls = Bindings::defaults();
                                  saveSettings();
                              },
                              {}});
    m_menu.entries.push_back({"Back", {}, [this] { showSettings(); }, {}});
}

void FrontDoor::showPause() {
    m_app.setPaused(true);
    show(Screen::paused);
    m_menu = Menu{"PAUSED", {}, 0};
    m_menu.entries.push_back({"Resume",
                              {},
                              [this] {
                                  m_app.setPaused(false);
                                  show(Screen::racing);
                              },
                              {}});
    m_menu.entries.push_back({"Restart",
                              {},
                              [this] {
                                  m_app.setPaused(false);
                                  startCountdown();
                              },
                              {}});
    m_menu.entries.push_back({"Settings",
                              {},
                              [this] {
                                  m_settingsReturn = Screen::paused;
                                  showSettings();
                              },
                              {}});
    m_menu.entries.push_back({"Quit to title",
                              {},
                              [this] {
                                  m_app.setPaused(false);
                                  quitToTitle();
                              },
                              {}});
}

void FrontDoor::back() {
    if (m_screen == Screen::settings && m_settingsReturn == Screen::paused) {
        showPause();
    } else if (m_screen == Screen::controls) {
        showSettings();
    } else if (m_screen == Screen::paused) {
        m_app.setPaused(false);
        show(Screen::racing);
    } else if (m_screen != Screen::title) {
        showTitle();
    }
}

// The ship back at the start, the player's from now on; the clock starts at GO.
void FrontDoor::startCountdown() {
    m_game->restartRace();
    m_game->setAttract(false);
    m_result.reset();
    m_nextRecord.clear();
    if (m_game->records && m_game->records->record()) {
        m_nextRecord = m_game->records->record()->splits;
    }
    m_app.holdSimulation(true);
    m_countdownStart = Clock::now();
    m_countdownShown = -1;
    show(Screen::countdown);
}

void FrontDoor::quitToTitle() {
    m_app.holdSimulation(false);
    m_game->setAttract(true);
    m_game->restartRace();
    m_result.reset();
    showTitle();
}

void FrontDoor::chooseCourse(const std::string& name) {
    if (name != m_game->simulation.course.name) {
        m_app.settings.course = name;
        m_app.courseName = name;
        saveSettings();
        buildGame();
    }
    showTitle();
}

void FrontDoor::saveSettings() {
    m_app.settings.save();  // a failure says so in one line
}

std::string FrontDoor::countdownText() const {
    if (m_screen != Screen::countdown && m_screen != Screen::racing) {
        return {};
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_countdownStart).count();
    const int step = static_cast<int>(elapsed / kCountdownStep);
    static const char* const kShown[] = {"3", "2", "1", "GO"};
    return step >= 0 && step < 4 ? kShown[step] : "";
}

void FrontDoor::stepCountdown() {
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_countdownStart).count();
    const int step = std::min(static_cast<int>(elapsed / kCountdownStep), 3);
    if (step == m_countdownShown) {
        return;
    }
    m_countdownShown = step;
    if (step < 3) {
        m_app.sounds.play(SoundEffect::countdown);
        return;
    }
    m_app.sounds.play(SoundEffect::go);
    m_app.holdSimulation(false);
    show(Screen::racing);
}

void FrontDoor::update(float frameDt, float time, float alpha) {
    m_time = time;
    m_game->update(frameDt, time, alpha);
    if (m_screen == Screen::countdown) {
        stepCountdown();
    }
    if (m_screen == Screen::racing && m_app.paused()) {
        showPause();  // the window lost the focus
    }
    if (m_binding &&
        Clock::now() - m_bindingSince > std::chrono::duration<double>(kBindingTimeout)) {
        m_note = "No key was pressed: " + std::string(actionName(*m_binding)) + " keeps " +
                 bindingText(m_app.settings.controls.of(*m_binding));
        m_noteUntil = Clock::now() + std::chrono::seconds(3);
        m_binding.reset();
    }
}

void FrontDoor::fixedUpdate(float time) {
    m_game->fixedUpdate(time);
    if (m_game->attract() && m_pilot) {
        m_pilot->step(m_game->simulation.nextZone());
    }
}

void FrontDoor::render(float frameDt, float time, unsigned int framebuffer,
                       const Viewport* viewport) {
    // The level behind a menu is dimmed, so the menu reads over the bright tube.
    const float dimming = inMenu() ? kMenuDimming : 1.0f;
    m_game->renderer.setBrightness(m_app.settings.brightness * dimming);
    queueScreen(time);
    m_game->render(frameDt, time, framebuffer, viewport);
}

void FrontDoor::queueScreen(float time) {
    TextRenderer& text = m_game->renderer.text();
    if (inMenu()) {
        std::string note;
        if (m_binding) {
            note = "Press a key or a button for " + std::string(actionName(*m_binding)) +
                   " (Escape: keep it)";
        } else if (Clock::now() < m_noteUntil) {
            note = m_note;
        }
        queueMenu(text, m_menu, note);
        return;
    }
    const std::string count = countdownText();
    if (!count.empty()) {
        queueShadowedText(text, count, {0.0f, 0.25f}, 0.3f,
                          count == "GO" ? kMenuAmber : kMenuWhite);
    }
    queueResults(text, time);
}

void FrontDoor::queueResults(TextRenderer& text, float time) {
    if (!m_result || time - m_resultSince > kResultsSeconds) {
        return;
    }
    const RoundResult& result = *m_result;
    std::string headline =
        "Round " + std::to_string(result.round) + ":  " + threeDecimals(result.time) + " s";
    if (result.newRecord) {
        headline += "   New record";
    } else if (result.newBest) {
        headline += "   New best";
    }
    // Below the split the race display shows at the top.
    queueShadowedText(text, headline, {0.0f, 0.42f}, 0.09f,
                      result.newRecord ? kMenuAmber : kMenuWhite);
    for (std::size_t i = 0; i < result.splits.size(); ++i) {
        const float y = 0.3f - 0.065f * static_cast<float>(i);
        const std::string zone =
            i + 1 == result.splits.size() ? "Finish" : "Zone " + std::to_string(i + 2);
        queueShadowedText(text, zone + "   " + threeDecimals(result.splits[i]), {-0.05f, y}, 0.055f,
                          kMenuWhite, HorizontalAnchor::ending);
        const auto delta = [&](const std::vector<float>& against, const char* what, float x) {
            if (i < against.size()) {
                const float d = result.splits[i] - against[i];
                queueShadowedText(text, threeDecimals(d, true) + " " + what, {x, y}, 0.055f,
                                  d <= 0.0f ? kAhead : kBehind, HorizontalAnchor::starting);
            }
        };
        delta(m_bestBefore, "best", 0.0f);
        delta(m_recordBefore, "record", 0.38f);
    }
}

void FrontDoor::onRoundFinished(const RoundResult& result) {
    if (m_game->attract()) {
        return;
    }
    m_result = result;
    m_resultSince = m_time;
    // What this round was measured against stays until the next round's results.
    m_bestBefore = m_nextBest;
    if (result.newBest) {
        m_nextBest = result.splits;
    }
    m_recordBefore = m_nextRecord;
    if (m_game->records && m_game->records->record()) {
        m_nextRecord = m_game->records->record()->splits;
    }
}

// Keys: the menus take arrows, Enter and Escape; a race takes the player's bindings.
void FrontDoor::onKey(int key, int /*scancode*/, std::uint8_t action, std::uint8_t /*mods*/) {
    if (m_binding) {
        if (action == GLFW_PRESS) {
            bindingKey(key);
        }
        return;
    }
    if (inMenu()) {
        if (action == GLFW_PRESS || action == GLFW_REPEAT) {
            menuKey(key);
        }
        return;
    }
    const auto bound = m_app.settings.controls.actionOfKey(key);
    if (action == GLFW_PRESS && (key == GLFW_KEY_ESCAPE || bound == Action::pause)) {
        if (m_screen == Screen::racing) {
            showPause();
        }
        return;
    }
    if (action == GLFW_PRESS && bound == Action::restart) {
        startCountdown();
        return;
    }
    if (key == GLFW_KEY_F1 || key == GLFW_KEY_F2) {
        if (action == GLFW_PRESS) {
            key == GLFW_KEY_F1 ? m_game->toggleDebugShapes() : m_game->toggleShadowMapTiles();
        }
        return;
    }
    forwardKey(key, action);
}

void FrontDoor::menuKey(int key) {
    switch (key) {
        case GLFW_KEY_UP: m_menu.move(-1); break;
        case GLFW_KEY_DOWN: m_menu.move(1); break;
        case GLFW_KEY_LEFT: m_menu.adjust(-1); break;
        case GLFW_KEY_RIGHT: m_menu.adjust(1); break;
        case GLFW_KEY_ENTER:
        case GLFW_KEY_KP_ENTER: m_menu.activate(); break;
        case GLFW_KEY_ESCAPE: back(); break;
        case GLFW_KEY_BACKSPACE:
            if (m_screen == Screen::course && !m_seedText.empty()) {
                m_seedText.pop_back();
                m_seedText = m_seedText.empty() ? "0" : m_seedText;
            }
            break;
        default:
            // Digits type a seed on the course screen.
            if (m_screen == Screen::course && key >= GLFW_KEY_0 && key <= GLFW_KEY_9 &&
                m_seedText.size() < 10) {
                m_seedText = (m_seedText == "0" ? "" : m_seedText) +
                             static_cast<char>('0' + (key - GLFW_KEY_0));
                if (std::stoull(m_seedText) > 4294967295ull) {
                    m_seedText = "4294967295";
                }
                m_menu.selected = m_menu.entries.size() - 2;  // the seed entry
            }
            break;
    }
}

// The key pressed for the action being bound; one another action had loses it, and the player
// is told.
void FrontDoor::bindingKey(int key) {
    const Action action = *m_binding;
    m_binding.reset();
    if (key == GLFW_KEY_ESCAPE || keyName(key).empty()) {
        return;
    }
    if (const char* use = reservedKeyUse(key)) {
        m_note = keyName(key) + " " + use + " and cannot be bound: " + actionName(action) +
                 " keeps " + bindingText(m_app.settings.controls.of(action));
        m_noteUntil = Clock::now() + std::chrono::seconds(4);
        return;
    }
    noteTaken(keyName(key), m_app.settings.controls.bindKey(action, key), "key");
}

// A binding made: saved, and the player told when the key or button was another action's,
// which now has none.
void FrontDoor::noteTaken(const std::string& input, std::optional<Action> taken, const char* kind) {
    if (taken) {
        m_note = input + " was " + actionName(*taken) + "'s: " + actionName(*taken) + " has no " +
                 kind + " now";
        m_noteUntil = Clock::now() + std::chrono::seconds(4);
    }
    saveSettings();
}

// A ship action's key goes to the controller as the key the controller knows for it.
void FrontDoor::forwardKey(int key, std::uint8_t action) {
    const auto bound = m_app.settings.controls.actionOfKey(key);
    if (!bound || *bound == Action::restart || *bound == Action::pause) {
        return;
    }
    m_game->simulation.shipController.onKey(defaultKey(*bound), 0, action, 0);
}

void FrontDoor::forwardButton(std::uint16_t button, bool pressed) {
    const auto bound = m_app.settings.controls.actionOfButton(button);
    if (!bound) {
        return;
    }
    if (pressed && *bound == Action::pause) {
        showPause();
    } else if (pressed && *bound == Action::restart) {
        startCountdown();
    } else if (*bound != Action::pause && *bound != Action::restart) {
        m_game->simulation.shipController.onKey(defaultKey(*bound), 0,
                                                pressed ? GLFW_PRESS : GLFW_RELEASE, 0);
    }
}

void FrontDoor::onGamepadButtons(std::uint16_t changed, bool pressed) {
    if (m_binding) {
        if (pressed && !buttonName(changed).empty()) {
            const Action action = *m_binding;
            m_binding.reset();
            noteTaken(buttonName(changed), m_app.settings.controls.bindButton(action, changed),
                      "button");
        }
        return;
    }
    if (inMenu()) {
        if (!pressed) {
            return;
        }
        switch (changed) {
            case GamepadButton::kDpadUp: m_menu.move(-1); break;
            case GamepadButton::kDpadDown: m_menu.move(1); break;
            case GamepadButton::kDpadLeft: m_menu.adjust(-1); break;
            case GamepadButton::kDpadRight: m_menu.adjust(1); break;
            case GamepadButton::kA: m_menu.activate(); break;
            case GamepadButton::kB: back(); break;
            case GamepadButton::kStart:
                if (m_screen == Screen::paused) {
                    back();
                }
                break;
            default: break;
        }
        return;
    }
    if (m_screen == Screen::racing || m_screen == Screen::countdown) {
        forwardButton(changed, pressed);
    }
}

// In the menus the stick moves the selection, once each time it is pushed past half-way.
void FrontDoor::onLeftStick(float x, float y, float magnitude) {
    if (inMenu()) {
        constexpr float kPushed = 0.6f;
        if (std::fabs(y) > kPushed && std::fabs(m_stickY) <= kPushed) {
            m_menu.move(y > 0.0f ? 1 : -1);
        }
        m_stickY = y;
        return;
    }
    m_game->simulation.shipController.onLeftStick(x, y, magnitude);
}

void FrontDoor::onLeftTrigger(float value) {
    if (!inMenu()) {
        m_game->simulation.shipController.onLeftTrigger(value);
    }
}

void FrontDoor::onRightTrigger(float value) {
    if (!inMenu()) {
        m_game->simulation.shipController.onRightTrigger(value);
    }
}

// The pointer in the text's units: -1 to 1 across the window, y up.
void FrontDoor::onCursorPos(double x, double y) {
    const Viewport& window = m_app.viewport;
    if (window.width <= 0 || window.height <= 0) {
        return;
    }
    const glm::vec2 cursor{static_cast<float>(2.0 * x / window.width - 1.0),
                           static_cast<float>(1.0 - 2.0 * y / window.height)};
    // The first report only says where a pointer resting over the window stands (the window
    // opened under it): the chosen entry follows the pointer when it moves, never before, so
    // Enter at the first frame still takes Race.
    const bool moved = m_cursorKnown && cursor != m_cursor;
    m_cursor = cursor;
    m_cursorKnown = true;
    if (moved && inMenu() && !m_binding) {
        const std::size_t hovered = MenuLayout::entryAt(m_cursor, m_menu.entries.size());
        if (hovered < m_menu.entries.size()) {
            m_menu.selected = hovered;
        }
    }
}

void FrontDoor::onMouseButton(std::uint8_t button, std::uint8_t action, std::uint8_t /*mods*/) {
    if (!inMenu() || m_binding || button != GLFW_MOUSE_BUTTON_LEFT || action != GLFW_PRESS) {
        return;
    }
    const std::size_t clicked = MenuLayout::entryAt(m_cursor, m_menu.entries.size());
    if (clicked < m_menu.entries.size()) {
        m_menu.selected = clicked;
        m_menu.activate();
    }
}

}  // namespace kes
