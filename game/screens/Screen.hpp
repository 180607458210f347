// A screen of the front door, and what a screen may ask of the game around it. Screens stand
// on a stack (ScreenStack): the top one takes the input and draws over the level; the ones
// under it wait (a pause menu over the race, the settings over the pause menu).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>

#include "app/Settings.hpp"
#include "game/course/CourseMap.hpp"
#include "game/ghost/Ghost.hpp"
#include "game/level/ReplayStage.hpp"
#include "game/race/Medals.hpp"
#include "game/race/RoundHistory.hpp"
#include "game/screens/MenuAction.hpp"
#include "platform/HidListener.hpp"
#include "platform/SoundService.hpp"

namespace kes {

struct Menu;
class CameraRig;
class ScreenStack;
class TextRenderer;
class ScreenLines;
struct Course;

class Screen {
public:
    virtual ~Screen() = default;
    // Now on top: pushed, or uncovered by the screen above it going.
    virtual void enter() {}
    virtual void act(MenuAction /*action*/) {}
    // A key or a gamepad button before it is read as a menu action: true when the screen took
    // it (a key being bound, a digit typed).
    virtual bool takeKey(int /*key*/) { return false; }
    virtual bool takeButton(std::uint16_t /*button*/) { return false; }
    // A key let go (a screen that moves something while a key is held).
    virtual void releaseKey(int /*key*/) {}
    // The pointer, where a screen does more with it than choose entries; places in the text's
    // units (-1 to 1 across the window, y up). A press of the left button (true when taken: no
    // entry is chosen then), the pointer moved to `at` with the left button held, the button
    // let go, the wheel turned (steps, positive away from the player).
    virtual bool takeClick(const glm::vec2& /*at*/) { return false; }
    virtual void drag(const glm::vec2& /*at*/, const glm::vec2& /*moved*/) {}
    virtual void letGo() {}
    virtual void wheel(float /*steps*/) {}
    // The gamepad's sticks (x right, y down, -1 to 1) and triggers (0 to 1), as they change. A
    // left stick the screen does not take moves the menu's choice.
    virtual bool takeLeftStick(const glm::vec2& /*stick*/) { return false; }
    virtual void rightStick(const glm::vec2& /*stick*/) {}
    virtual void triggers(float /*left*/, float /*right*/) {}
    // A step of the simulation's clock; a pass of the loop (`now` in seconds of real time).
    virtual void fixedStep() {}
    virtual void frame(double /*now*/) {}
    virtual void queue(TextRenderer& /*text*/, float /*time*/) {}
    // Lines over the picture (a plot), after the text's queue.
    virtual void queueLines(ScreenLines& /*lines*/) {}
    // A menu dims the level behind it; a race screen shows it as it is.
    virtual bool dimsLevel() const { return true; }
    // While true the player's bound controls fly the ship (the countdown, the race).
    virtual bool flies() const { return false; }
    // Whether the player's pause binding (and Escape) opens the pause menu over it.
    virtual bool pausable() const { return false; }
    // "title", "course", "settings", "controls", "countdown", "racing", "paused".
    virtual const char* name() const = 0;
    // The menu the pointer points into, if the screen shows one.
    virtual Menu* menu() { return nullptr; }
};

// One course as the course screen lists it.
struct CourseRow {
    std::string name;
    std::string title;
    float length = 0.0f;                 // units
    std::optional<float> record;         // the kept record, when one fits the course
    std::optional<TargetTimes> targets;  // none when the autopilot cannot finish the course
    CourseMap map{};                     // its shape from above
};

// One proven ghost of the course's table.
struct GhostRow {
    std::string name;  // the player's, drawable
    float time = 0.0f;
    Medal medal = Medal::none;
};

// A round that can be watched: what it is called ("record", "prime", "imported") and the ghost.
struct ReplayChoice {
    std::string what;
    Ghost ghost;
};

// What the statistics screen shows of the raced course.
struct CourseFacts {
    CourseStatistics statistics;
    std::optional<TargetTimes> targets;
};

// What a screen may ask of the game and the application: a narrow face, so that the screens
// can be driven without a window (the tests' own host).
class ScreenHost {
public:
    virtual ScreenStack& screens() = 0;

    // The race: a countdown from the start; back to the title (the race dropped); another
    // course; the ship let go at GO.
    virtual void startRace() = 0;
    virtual void quitToTitle() = 0;
    virtual void chooseCourse(const std::string& name) = 0;
    virtual void holdRace(bool hold) = 0;
    virtual void setPaused(bool paused) = 0;
    virtual bool paused() const = 0;
    virtual void toggleDebugShapes() = 0;
    virtual void toggleShadowMapTiles() = 0;
    virtual void play(SoundEffect cue) = 0;
    virtual void quitGame() = 0;
    // The frame as shown saved as a picture, at the window's size (see GameLayer).
    virtual void takeScreenshot() = 0;
    // The ship's controls, which a race's bound keys fly.
    virtual HidListener& ship() = 0;
    // The device the player used last (the prompts follow it).
    virtual InputDevice lastDevice() const = 0;
    // How large the menus are drawn now (the settings' UI scale for the window).
    virtual float uiScale() const = 0;

    // What the menus show and change.
    virtual const Course& course() const = 0;
    virtual std::optional<float> recordTime() const = 0;
    virtual std::vector<CourseRow> courseRows() = 0;
    virtual Settings& settings() = 0;
    virtual void saveSettings() = 0;
    // The ghosts the settings choose (the first and the second) are raced from now on.
    virtual void showGhosts() = 0;
    // The course's targets; none when the autopilot cannot finish it.
    virtual std::optional<TargetTimes> targets() = 0;
    // The proven ghosts of the raced course, fastest first; racing one of them (an index of
    // that list) as the first ghost.
    virtual std::vector<GhostRow> ghostTable() = 0;
    virtual void raceTableGhost(std::size_t index) = 0;
    virtual CourseFacts courseFacts() = 0;
    virtual void setSplitsAgainst(SplitsAgainst against) = 0;
    // The rounds of the raced course that can be watched: the record's, this run's best and
    // last, the prime round, and the imported ghosts.
    virtual std::vector<ReplayChoice> replays() = 0;
    // Where `ghost`'s flight started (an older ghost without its own: the course's fresh start).
    virtual FlightStart startOf(const Ghost& ghost) = 0;
    // The level as the watched round had it, the compared round's place beside it (see
    // GameLayer::showReplayAt), and the camera it is watched through.
    virtual void showReplayAt(const ReplayStage& stage, const GhostSample& ship,
                              std::uint32_t stepsIn, std::size_t ringsPassed,
                              const GhostSample* beside) = 0;
    virtual CameraRig& camera() = 0;
    virtual QualitySetting quality() const = 0;
    virtual void setQuality(QualitySetting quality, float scale) = 0;
    virtual void applyVolumes() = 0;
    // The sizes a window of `presentation` is offered. The window takes the settings'
    // presentation and size at once (false when full screen has no monitor to go to).
    virtual std::vector<std::pair<std::int32_t, std::int32_t>> windowSizes(
        Presentation presentation) const = 0;
    virtual bool applyWindow() = 0;
    // The settings' language spoken from now on.
    virtual void applyLanguage() = 0;

protected:
    ~ScreenHost() = default;
};

}  // namespace kes
