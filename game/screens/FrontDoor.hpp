// The game's front door: the layer that holds the race layer, the stack of screens over it and
// the router of the player's input. It opens on the title over the level flown by the autopilot
// (attract mode) and answers what the screens ask of the game (ScreenHost): start a race with
// its countdown, pause, another course, the settings. Menu actions print nothing; a settings
// save that fails says so in one line.
#pragma once

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
#include "game/race/Records.hpp"
#include "game/screens/InputRouter.hpp"
#include "game/screens/RoundResults.hpp"
#include "game/screens/Screen.hpp"
#include "game/screens/ScreenStack.hpp"

namespace kes {

class FrontDoor final : public Layer, public ScreenHost {
public:
    static constexpr float kMenuDimming = 0.4f;  // the level's brightness behind a menu

    // Builds the level for the settings' course (or `setup`'s) in `app`, behind the title.
    explicit FrontDoor(App& app, RaceSetup setup = {});
    ~FrontDoor() override;
    FrontDoor(const FrontDoor&) = delete;
    FrontDoor& operator=(const FrontDoor&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    GameLayer& game() { return *m_game; }
    // The player's input, as the window delivers it.
    HidListener& input() { return m_router; }
    Screen* top() const { return m_screens.top(); }
    // The screen on top by name ("title", "course", "settings", "controls", "countdown",
    // "racing", "paused").
    std::string screenName() const;
    // What the countdown shows now: "3", "2", "1", "GO", or empty.
    std::string countdownText() const;

    // ScreenHost
    ScreenStack& screens() override { return m_screens; }
    void startRace() override;
    void quitToTitle() override;
    void chooseCourse(const std::string& name) override;
    void holdRace(bool hold) override { m_app.holdSimulation(hold); }
    void setPaused(bool paused) override { m_game->setPaused(paused); }
    bool paused() const override { return m_app.paused(); }
    void toggleDebugShapes() override { m_game->toggleDebugShapes(); }
    void toggleShadowMapTiles() override { m_game->toggleShadowMapTiles(); }
    void play(SoundEffect cue) override { m_app.sounds.play(cue); }
    void quitGame() override { m_app.gl.requestClose(); }
    void takeScreenshot() override { m_game->takeScreenshot(); }
    HidListener& ship() override { return m_game->ship(); }
    InputDevice lastDevice() const override { return m_router.lastDevice(); }
    const Course& course() const override { return m_game->course(); }
    std::optional<float> recordTime() const override { return m_game->recordTime(); }
    std::vector<CourseRow> courseRows() override;
    Settings& settings() override { return m_app.settings; }
    void saveSettings() override { m_app.settings.save(); }
    void showGhosts() override;
    std::optional<TargetTimes> targets() override;
    std::vector<GhostRow> ghostTable() override;
    void raceTableGhost(std::size_t index) override;
    CourseFacts courseFacts() override;
    void setSplitsAgainst(SplitsAgainst against) override { m_game->setSplitsAgainst(against); }
    std::vector<ReplayChoice> replays() override;
    FlightStart startOf(const Ghost& ghost) override;
    void showReplayAt(const ReplayStage& stage, const GhostSample& ship, std::uint32_t stepsIn,
                      std::size_t ringsPassed, const GhostSample* beside) override {
        m_game->showReplayAt(stage, ship, stepsIn, ringsPassed, beside);
    }
    CameraRig& camera() override { return m_game->camera(); }
    QualitySetting quality() const override { return m_app.quality; }
    void setQuality(QualitySetting quality, float scale) override;
    void applyVolumes() override;
    std::vector<std::pair<std::int32_t, std::int32_t>> windowSizes(
        Presentation presentation) const override;
    bool applyWindow() override;
    void applyLanguage() override;
    float uiScale() const override { return m_app.uiScale(); }

private:
    void listenToRounds(bool listen);
    void sayRecordSkipped(const Course& course, const std::vector<KeptRecord>& sections);
    void sayRecordsSkipped();

    App& m_app;
    std::unique_ptr<GameLayer> m_game;
    std::optional<Autopilot> m_pilot;  // flies the attract mode
    ScreenStack m_screens;
    RoundResults m_results;
    bool m_resultsListening = false;
    InputRouter m_router{*this, m_app.viewport};
    std::set<std::string> m_recordLinesSaid;  // records skipped, said once in the run
};

}  // namespace kes
