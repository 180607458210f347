// The front door's screens without a window: a host of the test's own answers what they ask,
// the router hands them keys and buttons as a player would, and the simulation's steps are
// counted by hand.
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "control/ShipController.hpp"
#include "game/course/Course.hpp"
#include "game/screens/CountdownScreen.hpp"
#include "game/screens/InputRouter.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/CourseScreen.hpp"
#include "game/screens/GhostsScreen.hpp"
#include "game/screens/RoundResults.hpp"
#include "game/screens/SettingsScreen.hpp"
#include "game/screens/StatisticsScreen.hpp"
#include "game/screens/TheatreScreen.hpp"
#include "game/screens/TitleScreen.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "physics/Step.hpp"
#include "render/CameraRig.hpp"
#include "support/TempFolder.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

class TestHost final : public ScreenHost {
public:
    ScreenStack& screens() override { return stack; }
    void startRace() override {
        ++racesStarted;
        attract = false;
        stack.reset(std::make_unique<CountdownScreen>(*this));
    }
    void quitToTitle() override {
        attract = true;
        stack.reset(std::make_unique<TitleScreen>(*this));
    }
    void chooseCourse(const std::string& name) override { chosen = name; }
    void holdRace(bool hold) override { holds.push_back(hold); }
    void setPaused(bool paused_) override { paused_state = paused_; }
    bool paused() const override { return paused_state; }
    void toggleDebugShapes() override { ++debugShapes; }
    void toggleShadowMapTiles() override { ++shadowTiles; }
    void play(SoundEffect cue) override { cues.push_back(cue); }
    void quitGame() override { quit = true; }
    void takeScreenshot() override { ++screenshots; }
    HidListener& ship() override { return shipControls; }
    InputDevice lastDevice() const override { return router.lastDevice(); }
    const Course& course() const override { return firstOne; }
    std::optional<float> recordTime() const override { return std::nullopt; }
    std::vector<CourseRow> courseRows() override {
        return {{"prime-loop", "Prime Loop", 4593, 60.0f, times}};
    }
    Settings& settings() override { return kept; }
    void saveSettings() override { ++saves; }
    void showGhosts() override {
        ghostsShown.emplace_back(toString(kept.ghost) + std::string("+") +
                                 toString(kept.secondGhost));
    }
    std::optional<TargetTimes> targets() override { return times; }
    std::vector<GhostRow> ghostTable() override {
        return {{"Ada", 57.0f, Medal::prime}, {"Grace", 59.9f, Medal::gold}};
    }
    void raceTableGhost(std::size_t index) override { racedFromTable.push_back(index); }
    CourseFacts courseFacts() override {
        CourseStatistics stats;
        stats.rounds = 3;
        stats.secondsFlown = 185.0;
        stats.record = 60.0f;
        stats.bestSections = 59.5f;
        stats.times = {64.0f, 61.0f, 60.0f};
        return {stats, times};
    }
    void setSplitsAgainst(SplitsAgainst against) override { splitsAgainst.push_back(against); }
    std::vector<ReplayChoice> replays() override {
        return {{"record", watched}, {"prime", watched}};
    }
    FlightStart startOf(const Ghost& ghost) override { return *ghost.start; }
    void showReplayAt(const ReplayStage&, const GhostSample& ship, std::uint32_t stepsIn,
                      std::size_t, const GhostSample* beside) override {
        shownAt.emplace_back(stepsIn, ship.position);
        besideAt.push_back(beside != nullptr ? std::optional(beside->position) : std::nullopt);
    }
    CameraRig& camera() override { return rig; }
    QualitySetting quality() const override { return kept.quality; }
    void setQuality(QualitySetting quality, float) override { kept.quality = quality; }
    void applyVolumes() override {}
    std::vector<std::pair<std::int32_t, std::int32_t>> windowSizes(Presentation) const override {
        return {{640, 480}, {800, 600}};
    }
    float uiScale() const override { return scale; }
    void applyLanguage() override {
        std::ostringstream words;
        useLanguage(kept.language,
                    std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets" / "locale", words);
    }
    bool applyWindow() override {
        windowsApplied.emplace_back(kept.presentation, kept.width);
        return true;
    }

    // The router's keys and buttons, pressed and let go; steps of the simulation.
    void key(int key) {
        router.onKey(key, 0, GLFW_PRESS, 0);
        router.onKey(key, 0, GLFW_RELEASE, 0);
        stack.collect();
    }
    void button(std::uint16_t button) {
        router.onGamepadButtons(button, true);
        router.onGamepadButtons(button, false);
        stack.collect();
    }
    void steps(int count) {
        for (int i = 0; i < count; ++i) {
            stack.top()->fixedStep();
            stack.collect();
        }
    }
    // The stack's screens by name, the bottom first.
    std::vector<std::string> shown() const {
        std::vector<std::string> names;
        for (std::size_t i = stack.size(); i-- > 0;) {
            names.emplace_back(stack.at(i)->name());
        }
        return names;
    }

    test::TempFolder folder;
    std::ostringstream console;
    Settings kept{folder.path(), console};
    Course firstOne = firstCourse();
    HidListener_SceneNodeController shipControls;
    Viewport window{0, 0, 640, 480};
    float scale = 1.0f;
    ScreenStack stack;
    InputRouter router{*this, window};
    int racesStarted = 0;
    int debugShapes = 0;
    int shadowTiles = 0;
    bool attract = true;
    bool paused_state = false;
    bool quit = false;
    std::string chosen;
    std::vector<bool> holds;
    std::vector<SoundEffect> cues;
    TargetTimes times = targetsFor(57.467f, {}, std::nullopt);
    int saves = 0;
    int screenshots = 0;
    std::vector<std::string> ghostsShown;
    std::vector<std::size_t> racedFromTable;
    std::vector<SplitsAgainst> splitsAgainst;
    Ghost watched;
    std::vector<std::pair<std::uint32_t, glm::vec3>> shownAt;
    std::vector<std::optional<glm::vec3>> besideAt;
    std::vector<std::pair<Presentation, std::int32_t>> windowsApplied;
    Camera lens{80.0f, 4.0f / 3.0f, 0.1f, 1000.0f, glm::vec3(0.0f), 17.0f, {0, 0, 1}, {0, 1, 0}};
    CameraRig rig{&lens, nullptr};
};

using Names = std::vector<std::string>;

// Where each way through the menus leaves the stack, as a table: the keys and steps of the way
// in, and the screens left, the bottom first.
TEST(Screens, NavigationGoesWhereEachWayLeads) {
    struct Way {
        const char* what;
        std::vector<int> keys;  // a key a press; 0: the countdown's 180 steps
        Names left;
    };
    const Way ways[] = {
        {"Settings from the title",
         {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER},
         {"title", "settings"}},
        {"the ghosts", {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER}, {"title", "ghosts"}},
        {"their table",
         {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_DOWN,
          GLFW_KEY_ENTER},
         {"title", "ghosts", "ghost table"}},
        {"the statistics from the courses",
         {GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER},
         {"title", "course", "statistics"}},
        {"and back",
         {GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER, GLFW_KEY_ESCAPE},
         {"title", "course"}},
        {"and back",
         {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_ESCAPE},
         {"title"}},
        {"the courses", {GLFW_KEY_DOWN, GLFW_KEY_ENTER}, {"title", "course"}},
        {"a race", {GLFW_KEY_ENTER}, {"countdown"}},
        {"GO", {GLFW_KEY_ENTER, 0}, {"racing"}},
        {"the pause", {GLFW_KEY_ENTER, 0, GLFW_KEY_P}, {"racing", "paused"}},
        {"Settings from the pause",
         {GLFW_KEY_ENTER, 0, GLFW_KEY_P, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER},
         {"racing", "paused", "settings"}},
        {"Back from Settings opened from Pause returns to Pause",
         {GLFW_KEY_ENTER, 0, GLFW_KEY_P, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER,
          GLFW_KEY_ESCAPE},
         {"racing", "paused"}},
        {"Resume", {GLFW_KEY_ENTER, 0, GLFW_KEY_P, GLFW_KEY_ENTER}, {"racing"}},
        {"Quit to title from Pause drops the race",
         {GLFW_KEY_ENTER, 0, GLFW_KEY_P, GLFW_KEY_UP, GLFW_KEY_ENTER},
         {"title"}},
        {"Restart from Pause counts down again",
         {GLFW_KEY_ENTER, 0, GLFW_KEY_ESCAPE, GLFW_KEY_DOWN, GLFW_KEY_ENTER},
         {"countdown"}},
    };
    for (const Way& way : ways) {
        TestHost host;
        host.stack.push(std::make_unique<TitleScreen>(host));
        for (const int key : way.keys) {
            key == 0 ? host.steps(CountdownScreen::kGoStep) : host.key(key);
        }
        EXPECT_EQ(host.shown(), way.left) << way.what;
        if (std::string(way.what).starts_with("Quit")) {
            EXPECT_TRUE(host.attract);
            EXPECT_FALSE(host.paused());
        }
    }
}

// The countdown: a tone at each second of steps, the ship let go once, at step 180 exactly; R
// during it starts it once again from the start.
TEST(Screens, TheCountdownLetsTheShipGoOnceAtStep180AndRStartsItAgainOnce) {
    TestHost host;
    host.startRace();
    host.steps(CountdownScreen::kGoStep - 1);
    EXPECT_EQ(host.holds, std::vector<bool>{true});
    EXPECT_EQ(host.shown(), Names{"countdown"});
    EXPECT_STREQ(dynamic_cast<CountdownScreen&>(*host.stack.top()).shown(), "1");
    host.steps(1);
    EXPECT_EQ(host.holds, (std::vector<bool>{true, false}));
    EXPECT_EQ(host.shown(), Names{"racing"});
    EXPECT_EQ(host.cues, (std::vector<SoundEffect>{SoundEffect::countdown, SoundEffect::countdown,
                                                   SoundEffect::countdown, SoundEffect::go}));
    host.steps(600);
    EXPECT_EQ(host.holds.size(), 2u);

    TestHost again;
    again.startRace();
    again.steps(100);
    again.key(GLFW_KEY_R);
    EXPECT_EQ(again.racesStarted, 2);
    EXPECT_EQ(dynamic_cast<CountdownScreen&>(*again.stack.top()).steps(), 0u);
    again.steps(CountdownScreen::kGoStep - 1);
    EXPECT_EQ(again.shown(), Names{"countdown"});
    again.steps(1);
    EXPECT_EQ(again.shown(), Names{"racing"});
    EXPECT_EQ(again.holds, (std::vector<bool>{true, true, false}));
}

// Every menu action comes the same from a key and from a gamepad button: the same way through
// the settings by one and by the other changes the same value.
TEST(Screens, AKeyAndAGamepadButtonGiveTheSameMenuAction) {
    const std::pair<int, std::uint16_t> pairs[] = {
        {GLFW_KEY_UP, GamepadButton::kDpadUp},     {GLFW_KEY_DOWN, GamepadButton::kDpadDown},
        {GLFW_KEY_LEFT, GamepadButton::kDpadLeft}, {GLFW_KEY_RIGHT, GamepadButton::kDpadRight},
        {GLFW_KEY_ENTER, GamepadButton::kA},       {GLFW_KEY_ESCAPE, GamepadButton::kB}};
    for (const auto& [key, button] : pairs) {
        ASSERT_TRUE(menuActionOfKey(key));
        EXPECT_EQ(menuActionOfKey(key), menuActionOfButton(button)) << key;
    }
    TestHost byKeys;
    TestHost byButtons;
    for (TestHost* host : {&byKeys, &byButtons}) {
        host->stack.push(std::make_unique<TitleScreen>(*host));
    }
    // Settings, then Quality one to the right, then back and into the courses.
    for (const auto& [key, button] : {pairs[1], pairs[1], pairs[1], pairs[4], pairs[1], pairs[1],
                                      pairs[1], pairs[3], pairs[5], pairs[1], pairs[4]}) {
        byKeys.key(key);
        byButtons.button(button);
    }
    EXPECT_EQ(byKeys.kept.quality, QualitySetting::basic);
    EXPECT_EQ(byButtons.kept.quality, QualitySetting::basic);
    EXPECT_EQ(byKeys.shown(), byButtons.shown());
    EXPECT_EQ(byKeys.shown(), (Names{"title", "course"}));
}

// F1 in a race shows the collision shapes once per press, however long it is held; on a menu it
// is nothing.
TEST(Screens, F1InARaceTogglesOnce) {
    TestHost host;
    host.startRace();
    host.steps(CountdownScreen::kGoStep);
    host.router.onKey(GLFW_KEY_F1, 0, GLFW_PRESS, 0);
    host.router.onKey(GLFW_KEY_F1, 0, GLFW_REPEAT, 0);
    host.router.onKey(GLFW_KEY_F1, 0, GLFW_RELEASE, 0);
    EXPECT_EQ(host.debugShapes, 1);
    host.key(GLFW_KEY_F2);
    EXPECT_EQ(host.shadowTiles, 1);
    host.key(GLFW_KEY_P);
    host.key(GLFW_KEY_F1);
    EXPECT_EQ(host.debugShapes, 1);
    EXPECT_EQ(host.shown(), (Names{"racing", "paused"}));
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

// What the player chases, as the menus say it: the ghosts chosen (each change taken and saved
// at once), one of the table raced, the course's record with its medal and the next target,
// the statistics' figures and plot, and the splits' setting.
TEST(Screens, TheChaseIsChosenAndToldWhereThePlayerLooks) {
    TestHost host;
    host.stack.push(std::make_unique<TitleScreen>(host));
    for (const int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_RIGHT,
                          GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_LEFT}) {
        host.key(key);
    }
    // record, best, last, prime, off: two to the right of record, one to the left of off.
    EXPECT_EQ(host.ghostsShown, (std::vector<std::string>{"best+off", "last+off", "last+prime"}));
    EXPECT_EQ(host.saves, 3);
    for (const int key : {GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER}) {
        host.key(key);
    }
    EXPECT_EQ(host.racedFromTable, std::vector<std::size_t>{1});
    const auto* table = dynamic_cast<const GhostTableScreen*>(host.stack.top());
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->shownMenu().entries[0].line, "Ada:  57.000 s  prime");
    EXPECT_EQ(table->note(), "Racing Grace's ghost as the first");

    const TargetTimes& t = host.times;
    EXPECT_EQ(chaseText({"a", "A", 1.0f, 60.0f, t}), ", record 60.000 gold, next prime 57.467");
    EXPECT_EQ(chaseText({"a", "A", 1.0f, std::nullopt, t}), ", next bronze 74.700");
    EXPECT_EQ(chaseText({"a", "A", 1.0f, 57.0f, t}), ", record 57.000 prime");
    EXPECT_EQ(chaseText({"a", "A", 1.0f, 60.0f, std::nullopt}), ", record 60.000");
    EXPECT_EQ(medalLine(61.0f, t), "Silver medal   gold 60.300 s is 0.700 s faster");
    EXPECT_EQ(medalLine(80.0f, t), "No medal   bronze 74.700 s is 5.300 s faster");
    EXPECT_EQ(medalLine(57.0f, t), "Prime medal");

    host.stack.reset(std::make_unique<StatisticsScreen>(host));
    const auto* stats = dynamic_cast<const StatisticsScreen*>(host.stack.top());
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(stats->figures(),
              (std::vector<std::string>{"Rounds flown 3    Time flown 3 min 05 s",
                                        "Record 60.000 s (gold)    Best sections 59.500 s"}));
    // The frame, four medals' lines and the record's, two lines and three dots of rounds.
    EXPECT_EQ(stats->plot().size(), 4u + 5u + 2u + 3u);
    host.key(GLFW_KEY_ESCAPE);
    EXPECT_EQ(host.stack.size(), 0u);

    host.stack.push(std::make_unique<SettingsScreen>(host));
    Menu& settings = *host.stack.top()->menu();
    for (std::size_t i = 0; i < settings.entries.size(); ++i) {
        if (settings.entries[i].label == "Splits against") {
            settings.selected = i;
        }
    }
    host.key(GLFW_KEY_ENTER);
    host.key(GLFW_KEY_RIGHT);
    EXPECT_EQ(host.splitsAgainst,
              (std::vector<SplitsAgainst>{SplitsAgainst::target, SplitsAgainst::record}));
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

// The theatre, driven by keys: it plays as it opens, Space pauses, a step forward is one fixed
// step, PgDn goes to the next ring, Home restarts, and each shows the level at the ghost's
// place of that moment; Escape leaves for the title.
// The footer's prompts follow the device used last: a key, a gamepad button or a stick pushed
// past half-way, the pointer moved or clicked; a key let go or a stick barely moved changes
// nothing. Menus with values to change say how.
TEST(Screens, ThePromptsFollowTheDeviceUsedLast) {
    TestHost host;
    host.stack.push(std::make_unique<TitleScreen>(host));
    EXPECT_EQ(host.lastDevice(), InputDevice::keyboard);
    host.button(GamepadButton::kDpadDown);
    EXPECT_EQ(host.lastDevice(), InputDevice::gamepad);
    host.router.onKey(GLFW_KEY_UP, 0, GLFW_RELEASE, 0);
    EXPECT_EQ(host.lastDevice(), InputDevice::gamepad);
    host.router.onCursorPos(100.0, 100.0);
    host.router.onCursorPos(120.0, 100.0);
    EXPECT_EQ(host.lastDevice(), InputDevice::mouse);
    host.router.onLeftStick(0.1f, 0.1f, 0.14f);
    EXPECT_EQ(host.lastDevice(), InputDevice::mouse);
    host.router.onRightStick(0.0f, 0.9f, 0.9f);
    EXPECT_EQ(host.lastDevice(), InputDevice::gamepad);
    host.key(GLFW_KEY_DOWN);
    EXPECT_EQ(host.lastDevice(), InputDevice::keyboard);
    EXPECT_EQ(promptLine(menuFooter(InputDevice::keyboard, false)),
              "Up/Down Move   Enter Choose   Esc Back");
    EXPECT_EQ(promptLine(menuFooter(InputDevice::gamepad, true)),
              "D-pad Move   A Choose   D-pad Left/Right Change   B Back");
    EXPECT_EQ(promptLine(menuFooter(InputDevice::mouse, false)),
              "Point Move   Click Choose   Esc Back");
}

// Settings → Accessibility: each entry changes its setting (saved at once). With accelerate
// toggled, in the race a press of the bound key starts accelerating and the next stops it,
// letting go doing nothing; held as usual otherwise.
TEST(Screens, AccessibilityIsChosenAndAccelerateToggles) {
    TestHost host;
    host.stack.push(std::make_unique<TitleScreen>(host));
    for (const int key : {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_UP,
                          GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER}) {
        host.key(key);  // Settings, then Accessibility (above Language and Back)
    }
    ASSERT_EQ(host.shown(), (Names{"title", "settings", "accessibility"}));
    const int saves = host.saves;
    for (const int key : {GLFW_KEY_RIGHT, GLFW_KEY_RIGHT, GLFW_KEY_DOWN, GLFW_KEY_ENTER,
                          GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_RIGHT}) {
        host.key(key);
    }
    EXPECT_EQ(host.kept.access, (Accessibility{ColourVision::blueYellow, true, true, true}));
    EXPECT_EQ(host.saves, saves + 5);
    EXPECT_EQ(host.stack.top()->menu()->entries[2].line, "Accelerate:  press to toggle");

    host.startRace();
    host.steps(180);  // GO
    using Ship = HidListener_SceneNodeController;
    const auto accelerating = [&] { return host.shipControls.isHeld(Ship::accelerate); };
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
    EXPECT_TRUE(accelerating());
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_REPEAT, 0);
    EXPECT_TRUE(accelerating());
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
    EXPECT_FALSE(accelerating());
    host.kept.access.accelerateToggles = false;
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(accelerating());
    host.router.onKey(GLFW_KEY_SPACE, 0, GLFW_RELEASE, 0);
    EXPECT_FALSE(accelerating());
}

// Settings → Language: each step is spoken at once, the settings' own menu made again in the
// new words with the same entry chosen; the title below it speaks the same when it is back on
// top; auto follows the environment (here English).
TEST(Screens, TheLanguageChangesEveryScreenAtOnce) {
    TestHost host;
    host.stack.push(std::make_unique<TitleScreen>(host));
    for (const int key :
         {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER, GLFW_KEY_UP, GLFW_KEY_UP}) {
        host.key(key);  // Settings, then Language (above Back)
    }
    const auto chosenLine = [&] {
        const Menu& menu = *host.stack.top()->menu();
        return menu.entries[menu.selected].line;
    };
    ASSERT_EQ(chosenLine(), "Language:  auto (English)");
    host.key(GLFW_KEY_RIGHT);
    host.key(GLFW_KEY_RIGHT);
    EXPECT_EQ(host.kept.language, "de");
    EXPECT_EQ(chosenLine(), "Sprache:  Deutsch");
    EXPECT_EQ(host.stack.top()->menu()->title, "EINSTELLUNGEN");
    host.key(GLFW_KEY_RIGHT);
    EXPECT_EQ(chosenLine(),
              "Langue:  Fran\xE7"
              "ais");
    host.key(GLFW_KEY_ESCAPE);
    ASSERT_EQ(host.shown(), Names{"title"});
    EXPECT_EQ(host.stack.top()->menu()->entries[0].line, "Course");
    EXPECT_EQ(host.stack.top()->menu()->entries.back().line, "Quitter");
    host.kept.language = "auto";
    host.applyLanguage();
    EXPECT_EQ(languageInUse(), "en");
    EXPECT_EQ(tr("Quit"), std::string("Quit"));
}

// At a larger UI scale the entries stand further apart and larger; a click goes to the entry
// drawn under the pointer, and the Accessibility page steps the setting round auto, 75 % ...
// 200 %.
TEST(Screens, TheInterfaceSizeMovesTheEntriesAndTheClicksWithThem) {
    TestHost host;
    host.scale = 1.5f;
    host.stack.push(std::make_unique<TitleScreen>(host));
    host.stack.top()->frame(0.0);
    const Menu& title = *host.stack.top()->menu();
    ASSERT_EQ(title.scale, 1.5f);
    EXPECT_GT(MenuLayout::entrySize(title.entries.size(), title.scale),
              MenuLayout::entrySize(title.entries.size()) * 1.2f);
    const float settingsY = MenuLayout::entryY(3, title.entries.size(), title.scale);
    host.router.onCursorPos(320.0, (1.0 - settingsY) * 0.5 * 480.0);
    host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    ASSERT_EQ(host.shown(), (Names{"title", "settings"}));
    // A long menu has no room to grow: its entries stay as packed as at 100 %.
    const Menu& settings = *host.stack.top()->menu();
    EXPECT_EQ(MenuLayout::entryStep(settings.entries.size(), 1.5f),
              MenuLayout::entryStep(settings.entries.size()));

    for (const int key :
         {GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER, GLFW_KEY_UP, GLFW_KEY_UP}) {
        host.key(key);  // Accessibility, then Interface size (above Back)
    }
    const auto chosenLine = [&] {
        const Menu& menu = *host.stack.top()->menu();
        return menu.entries[menu.selected].line;
    };
    EXPECT_EQ(chosenLine(), "Interface size:  auto (150 %)");
    std::vector<std::optional<std::int32_t>> seen;
    for (int i = 0; i < 7; ++i) {
        host.key(GLFW_KEY_RIGHT);
        seen.push_back(host.kept.uiScale);
    }
    EXPECT_EQ(seen, (std::vector<std::optional<std::int32_t>>{75, 100, 125, 150, 175, 200,
                                                              std::nullopt}));
    host.key(GLFW_KEY_LEFT);
    EXPECT_EQ(host.kept.uiScale, 200);
}

// The title, Replays (above Quit), the second round: prime, against the record.
const TheatreScreen& openTheatre(TestHost& host) {
    testing::internal::CaptureStdout();
    host.watched = *flyPrimeRound(firstCourse());
    testing::internal::GetCapturedStdout();
    host.stack.push(std::make_unique<TitleScreen>(host));
    for (const int key :
         {GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER, GLFW_KEY_DOWN, GLFW_KEY_ENTER}) {
        host.key(key);
    }
    EXPECT_EQ(host.shown(), (Names{"title", "replays", "theatre"}));
    return dynamic_cast<const TheatreScreen&>(*host.stack.top());
}

TEST(Screens, TheTheatreShowsTheRoundWhereTheKeysTakeIt) {
    TestHost host;
    const TheatreScreen& theatre = openTheatre(host);
    const Ghost& ghost = host.watched;
    EXPECT_TRUE(theatre.cursor().playing());
    host.stack.top()->frame(10.0);
    host.stack.top()->frame(11.0);  // a second played
    EXPECT_NEAR(theatre.cursor().seconds(), 1.0f, 1e-3f);
    for (const int key : {GLFW_KEY_SPACE, GLFW_KEY_RIGHT, GLFW_KEY_PAGE_DOWN, GLFW_KEY_HOME}) {
        host.key(key);
    }
    const std::uint32_t ringOne = std::uint32_t(std::lround(ghost.splits[0] / kFixedStep));
    std::vector<std::uint32_t> steps;
    for (const auto& [step, place] : host.shownAt) {
        steps.push_back(step);
        EXPECT_EQ(place, ghost.at(float(step) * kFixedStep).position) << step;
    }
    // Entered at 0, played to 60, paused there, a step on, the first ring, the start.
    EXPECT_EQ(steps, (std::vector<std::uint32_t>{0, 60, 60, 61, ringOne, 0}));
    EXPECT_FALSE(theatre.cursor().playing());
    host.key(GLFW_KEY_ESCAPE);
    EXPECT_EQ(host.shown(), Names{"title"});
}

// The mouse: a click on the timeline seeks there and a drag from it goes on seeking, a moved
// pointer without the button does nothing; the buttons do what their keys do (the camera
// button, C and the gamepad's Back go round the views); with the display hidden a click brings
// it back. The gamepad's shoulder goes to the next ring and the footer says the gamepad's
// buttons until a key is pressed. The compared round flies beside the watched one at each
// moment shown, and leaving gives the race back its chase camera.
TEST(Screens, TheTheatreAnswersTheMouseAndTheGamepad) {
    TestHost host;
    const TheatreScreen& theatre = openTheatre(host);
    host.key(GLFW_KEY_SPACE);  // paused: nothing moves but what the test does
    const auto pointAt = [&](const glm::vec2& at) {
        host.router.onCursorPos((at.x + 1.0) * 0.5 * host.window.width,
                                (1.0 - at.y) * 0.5 * host.window.height);
    };
    const auto click = [&](const glm::vec2& at) {
        pointAt(at);
        host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
        host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
        host.stack.collect();
    };
    const float last = float(host.watched.roundEndStep - host.watched.roundStartStep);

    pointAt({0.0f, 0.0f});
    pointAt({theatre::timelineX(0.5f), theatre::kTimelineY});
    EXPECT_EQ(theatre.cursor().seconds(), 0.0f);  // moved, never pressed
    host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_NEAR(theatre.cursor().fraction(), 0.5f, 1.0f / last);
    pointAt({theatre::timelineX(0.75f), 0.3f});  // dragged off the line: still seeking
    EXPECT_NEAR(theatre.cursor().fraction(), 0.75f, 1.0f / last);
    host.router.onMouseButton(GLFW_MOUSE_BUTTON_LEFT, GLFW_RELEASE, 0);
    pointAt({theatre::timelineX(0.2f), theatre::kTimelineY});
    EXPECT_NEAR(theatre.cursor().fraction(), 0.75f, 1.0f / last);

    const std::size_t rings = theatre.cursor().ringsPassed();
    click(theatre::buttonCentre(theatre::Button::ringNext));
    EXPECT_EQ(theatre.cursor().ringsPassed(), rings + 1);
    click(theatre::buttonCentre(theatre::Button::play));
    EXPECT_TRUE(theatre.cursor().playing());
    click(theatre::buttonCentre(theatre::Button::play));
    EXPECT_FALSE(theatre.cursor().playing());
    click(theatre::buttonCentre(theatre::Button::restart));
    EXPECT_EQ(theatre.cursor().seconds(), 0.0f);

    click(theatre::buttonCentre(theatre::Button::camera));
    EXPECT_EQ(host.rig.view(), CameraView::orbit);
    host.key(GLFW_KEY_C);
    EXPECT_EQ(host.rig.view(), CameraView::trackside);
    host.button(GamepadButton::kBack);
    EXPECT_EQ(host.rig.view(), CameraView::free);
    EXPECT_TRUE(theatre.promptsGamepad());
    host.button(GamepadButton::kRightShoulder);
    EXPECT_EQ(theatre.cursor().ringsPassed(), 1u);
    host.key(GLFW_KEY_H);
    EXPECT_FALSE(theatre.promptsGamepad());
    EXPECT_FALSE(theatre.displayShown());
    click(theatre::buttonCentre(theatre::Button::ringNext));  // brings the display back only
    EXPECT_TRUE(theatre.displayShown());
    EXPECT_EQ(theatre.cursor().ringsPassed(), 1u);

    ASSERT_EQ(host.besideAt.size(), host.shownAt.size());
    for (std::size_t i = 0; i < host.shownAt.size(); ++i) {
        ASSERT_TRUE(host.besideAt[i].has_value());
        // The record compared is the same round here: it flies where the watched one is.
        EXPECT_EQ(*host.besideAt[i], host.shownAt[i].second);
    }
    host.key(GLFW_KEY_ESCAPE);
    EXPECT_EQ(host.rig.view(), CameraView::chase);
}

}  // namespace
}  // namespace kes
