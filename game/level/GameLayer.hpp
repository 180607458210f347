// The game itself, as a layer of the application: it runs the race's fixed step, draws the
// level, the race display and the guide arrow, plays the race's sounds, keeps the records, and
// answers what the player asks of the game (restart, pause, debug views). Its parts are its
// own, each with one job: what the course decides (CourseRun: the simulation, the records, the
// recorder and the ghost), the look of the level (LevelScene), the display (Hud), the cues
// (RaceAudio), the console lines (RaceConsole); callers get methods for what they need.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/App.hpp"
#include "app/Layer.hpp"
#include "app/Stopwatch.hpp"
#include "control/ShipController.hpp"
#include "game/level/GameCommands.hpp"
#include "game/level/RaceKeys.hpp"
#include "game/level/Screenshots.hpp"
#include "render/CameraFollow.hpp"
#include "render/CameraRig.hpp"
#include "game/course/CourseLibrary.hpp"
#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/GhostKeeper.hpp"
#include "game/ghost/GhostLibrary.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "game/level/GhostField.hpp"
#include "game/level/ReplayStage.hpp"
#include "game/level/Hud.hpp"
#include "game/level/LevelScene.hpp"
#include "game/level/NextRing.hpp"
#include "game/level/RaceAudio.hpp"
#include "game/level/CourseRun.hpp"
#include "game/race/RaceConsole.hpp"
#include "game/race/RaceSimulation.hpp"
#include "game/race/RecordKeeper.hpp"
#include "render/QualityGovernor.hpp"
#include "render/Renderer.hpp"

namespace kes {

// How long building the level took, by part, for start-up profiles.
struct LevelBuildTimes {
    double renderer = 0.0;  // render targets and shader compilation
    double models = 0.0;    // meshes, textures and the generated sphere
    double path = 0.0;      // the course, its bodies and its tube
    double objects = 0.0;   // sun, ship, zones, asteroids, camera
};

// Where the guide arrow stands and points, or nothing when the next zone is in view and the
// ship on the course. `viewProj` and the unit `cameraUp` are the camera's; `offCourse` whether
// the ship left the tube.
std::optional<DebugArrow> guideArrow(const glm::vec3& ship, const glm::vec3& zone,
                                     const glm::mat4& viewProj, const glm::vec3& cameraUp,
                                     bool offCourse);

// What the launcher chooses for a race rather than the settings: another course or ghost, and
// whether records are kept (the demo and the tests keep none).
struct RaceSetup {
    std::optional<std::string> course{};  // none: the settings' course
    std::optional<GhostSetting> ghost{};  // none: the settings' ghost
    bool keepRecords = true;
    // The records file's skipped sections were said already (the front door says them).
    bool recordsSaid = false;
};

class GameLayer final : public Layer, public GameCommands {
public:
    // Builds the level in `app`'s window and physics world on the courses read from the assets
    // and the player's folder, and takes the camera (and the input, when nothing has it). The
    // game is played at hard difficulty, whatever the settings say. `app` must outlive the
    // layer.
    explicit GameLayer(App& app, RaceSetup setup = {});
    // The same on courses already read.
    GameLayer(App& app, CourseLibrary library, RaceSetup setup = {});
    ~GameLayer() override;
    GameLayer(const GameLayer&) = delete;
    GameLayer& operator=(const GameLayer&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    // What the player asks of the game.
    void restartRace() override;
    void togglePause() override;
    bool racePaused() const override;
    void toggleDebugShapes() override;
    void toggleShadowMapTiles() override;
    HidListener& ship() override;
    void setPaused(bool paused);

    // The course raced and the courses known. Another course is raced from now on: its path,
    // tube, zones, rocks, race, records and ghost made anew, the renderer and the models kept.
    const Course& course() const;
    const CourseLibrary& courses() const { return m_courses; }
    void changeCourse(const std::string& name);

    // The race, for whoever watches it (the screens' results, the demo's profile and judge).
    const RaceSimulation& simulation() const;
    std::uint32_t nextZone() const;
    void addRaceObserver(RaceObserver* observer);
    void removeRaceObserver(RaceObserver* observer);
    // The autopilot at this race's controls.
    Autopilot autopilot();
    // Flies a recorded flight's controls instead of the player's (none: the player's again).
    void flyRecorded(const ControlSource* flight);
    // Puts the race where a recorded flight started; false when the start is not this
    // course's (see RaceSimulation::startFlightFrom).
    bool startFlightFrom(const FlightStart& start);
    const FlightRecorder& recorder() const;

    // The record across runs, when one is kept, and its splits (none without one).
    bool keepsRecords() const { return m_setup.keepRecords; }
    std::optional<float> recordTime() const;
    std::vector<float> recordSplits() const;
    // The ghost ships fly the ghosts the settings say (the record's, this run's best, the last
    // round, the prime round, or none), the second beside the first.
    void showGhost(GhostSetting ghost);
    void showGhosts(GhostSetting first, GhostSetting second);
    // Races `ghost` (one of the course's table) as the first ghost until the course changes or
    // the ghosts are chosen again; `what` is what the display calls it.
    void raceGhost(const Ghost& ghost, std::string what);
    const GhostField& ghosts() const { return m_ghosts; }
    // The ghost a setting names on this course now, or none.
    const Ghost* ghostOf(GhostSetting setting) { return ghostFor(setting); }

    // The course's targets (the prime round flown the first time they are asked for); none
    // when the autopilot cannot finish the course.
    const TargetTimes* targets();
    const TargetTimes* targetsOf(const Course& course);
    const Ghost* primeRound();
    // Each split measured against the record or against the next medal's target.
    void setSplitsAgainst(SplitsAgainst against);
    // The medal of the last round finished.
    Medal lastMedal() const { return m_run->tally.lastMedal(); }
    // Every round finished, this run's and those read from the history file.
    const RoundHistory& history() const { return m_history; }
    // Watching a recorded round: the ship and the rocks put where `stage` had them `stepsIn`
    // steps into the round (the ship at `ship`), the ring after the `ringsPassed` highlighted,
    // and the round compared with it flown beside as the first ghost (at `beside`; none hides
    // it). The race must stand held meanwhile; a restart puts everything back.
    void showReplayAt(const ReplayStage& stage, const GhostSample& ship, std::uint32_t stepsIn,
                      std::size_t ringsPassed, const GhostSample* beside = nullptr);
    // The level's camera: the chase view while racing; the theatre and the demo choose others.
    CameraRig& camera() { return m_camera; }
    // Where a flight on this course starts from a fresh start (for older ghosts without theirs).
    FlightStart freshStart() const;
    // Saves the next frame as drawn (the display included) as a PNG of the window's size in
    // the "screenshots" folder of the player's data folder, and says where for a few seconds.
    void takeScreenshot() { m_screenshots.ask(); }
    const std::filesystem::path& lastScreenshot() const { return m_screenshots.last(); }
    // The ghosts imported into the player's folder.
    GhostLibrary& library() { return m_library; }

    // Attract mode, behind the title screen: the race runs silently (no console lines, no cues
    // but the engine, no records, no ghosts kept) and the race display is hidden.
    void setAttract(bool attract);
    bool attract() const { return m_attract; }
    // Under a menu the level shows the course alone: the ship, the ghosts, the guide arrow and
    // the race display are hidden, so nothing stands behind the menu's words.
    void setMenuOver(bool over) { m_menuOver = over; }
    bool menuOver() const { return m_menuOver; }
    // Whether the race display says "Paused" while the race stands still (a pause menu that
    // says so itself turns it off).
    void showPauseNotice(bool shown) { m_pauseNotice = shown; }

    Renderer& renderer() { return m_renderer; }
    const LevelBuildTimes& buildTimes() const { return m_buildTimes; }
    // The quality the frames are drawn at now (the governor's latest choice under "auto").
    QualityChoice quality() const;
    // Draws from the next frame at `choice` (the governor's choices go through here too).
    void setQuality(const QualityChoice& choice);
    // The player's quality setting from now on: a fixed level at `scale`, or the governor.
    void setQualitySetting(QualitySetting setting, float scale);
    // Whether the passes from now on tell the automatic quality how fast the race draws: the
    // front door says no under its menus (a paused or held game never counts either).
    void measurePasses(bool measure) { m_measurePasses = measure; }
    // Under "auto", the governor that chooses; none for a fixed level.
    const QualityGovernor* governor() const { return m_governor ? &*m_governor : nullptr; }

private:
    friend struct GameLayerSeam;  // the tests' way to the parts

    void startRun(Course course, bool recordsSaid);
    void listen(bool attract);
    void queueGuide();
    HudFacts hudFacts() const;
    // Under "auto": hands the pass's time to the governor and applies what it chooses.
    void steerQuality(float time);
    void sayPause();
    const Ghost* ghostFor(GhostSetting setting);
    void showChosenGhosts();
    void aimSplits();
    void applyAccessibility(float time);
    // The trackside camera stands by `zone`.
    void standCameraBy(std::uint32_t zone);

    App& m_app;
    RaceSetup m_setup;
    Stopwatch m_buildClock;  // runs from the start of construction
    Renderer m_renderer;
    double m_rendererSeconds = m_buildClock.lap();  // read once the renderer stands
    LevelScene m_scene;
    LevelBuildTimes m_buildTimes{.renderer = m_rendererSeconds, .models = m_buildClock.lap()};
    // The bundled courses and the player's own.
    CourseLibrary m_courses;
    CamController_FollowSceneNode m_cameraController;
    CameraRig m_camera;  // the app's camera controller; drives the chase camera above
    Hud m_hud;
    RaceAudio m_audio;
    RaceConsole m_console;
    GhostField m_ghosts;
    GhostSetting m_ghost;
    GhostSetting m_secondGhost;
    std::optional<Ghost> m_chosenGhost;  // from the course's table, raced as the first
    std::string m_chosenWhat;
    SplitsAgainst m_splitsAgainst;
    TargetKeeper m_targets;
    RoundHistory m_history;
    GhostLibrary m_library;
    std::unique_ptr<CourseRun> m_run;
    // The race's own keys, where no front door maps the input.
    RaceKeys m_keys{*this};

    float m_distanceToCourse = 0.0f;  // from the last update, for the guide
    std::optional<QualityGovernor> m_governor;
    float m_lastPassTime = -1.0f;  // real time of the last pass the governor measured
    bool m_attract = false;
    bool m_measurePasses = true;
    bool m_pauseNotice = true;
    bool m_saidPaused = false;
    bool m_watchingReplay = false;  // since showReplayAt, until a restart
    bool m_menuOver = false;
    NextRingLook m_nextRing;
    Screenshots m_screenshots;
};

}  // namespace kes
