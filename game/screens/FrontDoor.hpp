// The game's front door: the title screen over the level while the autopilot flies it (attract
// mode), the choice of course and ghost, the settings and the controls, the countdown before a
// race, the pause menu and the results of each round. It owns the game layer, takes the
// player's input first (keyboard, gamepad, mouse) and hands the ship's controls, translated by
// the player's bindings, to the ship's controller while a race runs. Menu actions print
// nothing; a settings save that fails says so in one line.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/App.hpp"
#include "app/Layer.hpp"
#include "control/Autopilot.hpp"
#include "game/level/GameLayer.hpp"
#include "game/screens/Menu.hpp"
#include "game/race/Records.hpp"
#include "platform/HidListener.hpp"

namespace kes {

class FrontDoor final : public Layer, public HidListener, private RaceObserver {
public:
    enum class Screen : std::uint8_t {
        title,
        course,
        settings,
        controls,
        countdown,
        racing,
        paused,
    };

    static constexpr double kCountdownStep = 1.0;   // seconds for each of 3, 2, 1 and GO
    static constexpr double kResultsSeconds = 8.0;  // how long a round's results stay
    static constexpr double kBindingTimeout = 3.0;  // "press a key" gives up after this
    static constexpr float kMenuDimming = 0.4f;     // the level's brightness behind a menu

    // Builds the level for the settings' course in `app`, behind the title screen.
    explicit FrontDoor(App& app);
    ~FrontDoor() override;
    FrontDoor(const FrontDoor&) = delete;
    FrontDoor& operator=(const FrontDoor&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    void onKey(int key, int scancode, std::uint8_t action, std::uint8_t mods) override;
    void onCursorPos(double x, double y) override;
    void onMouseButton(std::uint8_t button, std::uint8_t action, std::uint8_t mods) override;
    void onGamepadButtons(std::uint16_t changed, bool pressed) override;
    void onLeftStick(float x, float y, float magnitude) override;
    void onLeftTrigger(float value) override;
    void onRightTrigger(float value) override;

    Screen screen() const { return m_screen; }
    GameLayer& game() { return *m_game; }
    const Menu& menu() const { return m_menu; }
    // What the countdown shows now: "3", "2", "1", "GO", or empty.
    std::string countdownText() const;

private:
    using Clock = std::chrono::steady_clock;

    void buildGame();
    void show(Screen screen);
    void showTitle();
    void showCourses();
    void showSettings();
    void showControls();
    void showPause();
    void startCountdown();
    void back();
    void quitToTitle();
    void chooseCourse(const std::string& name);
    void saveSettings();
    void stepCountdown();
    void sayRecordSkipped(const Course& course, const std::vector<KeptRecord>& sections);
    void sayRecordsSkipped();
    std::optional<RaceRecord> keptRecord(const Course& course,
                                         const std::vector<KeptRecord>& sections) const;

    bool inMenu() const;
    std::vector<std::pair<std::int32_t, std::int32_t>> windowSizes(Presentation presentation) const;
    void menuKey(int key);
    void bindingKey(int key);
    void noteTaken(const std::string& input, std::optional<Action> taken, const char* kind);
    void forwardKey(int key, std::uint8_t action);
    void forwardButton(std::uint16_t button, bool pressed);
    void queueScreen(float time);
    void queueResults(TextRenderer& text, float time);

    void onRoundFinished(const RoundResult& result) override;

    App& m_app;
    std::unique_ptr<GameLayer> m_game;
    std::optional<Autopilot> m_pilot;  // flies the attract mode
    Screen m_screen = Screen::title;
    Screen m_settingsReturn = Screen::title;  // where Back leaves the settings for
    Menu m_menu;
    std::string m_note;  // a line under the menu: a binding moved, a restart needed
    std::set<std::string> m_recordLinesSaid;  // records skipped, said once in the run
    Clock::time_point m_noteUntil{};
    // The countdown: when it began, and the last step announced (3, 2, 1, 0 for GO).
    Clock::time_point m_countdownStart{};
    int m_countdownShown = -1;
    // "Press a key" for the controls: the action, and since when.
    std::optional<Action> m_binding;
    Clock::time_point m_bindingSince{};
    std::string m_seedText = "1";
    glm::vec2 m_cursor{0.0f};
    bool m_cursorKnown = false;
    float m_stickY = 0.0f;
    // The last round's results, shown while the ship flies on.
    std::optional<RoundResult> m_result;
    // What the round is compared with: this run's best splits and the record's before it, and
    // what the next round will be compared with.
    std::vector<float> m_bestBefore;
    std::vector<float> m_nextBest;
    std::vector<float> m_recordBefore;
    std::vector<float> m_nextRecord;
    float m_resultSince = 0.0f;
    float m_time = 0.0f;
};

}  // namespace kes
