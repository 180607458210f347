// The game itself, as a layer of the application: it runs the race's fixed step, draws the
// level, the race display and the guide arrow, plays the race's sounds, keeps the records, and
// answers what the player asks of the game (restart, pause, debug views). Its parts each have
// one job: the simulation (RaceSimulation), the look of the level (LevelScene), the display
// (Hud), the cues (RaceAudio), the console lines (RaceConsole) and the records (RecordKeeper).
#pragma once

#include <cstdint>
#include <optional>

#include "app/App.hpp"
#include "app/Layer.hpp"
#include "app/Stopwatch.hpp"
#include "render/CameraFollow.hpp"
#include "control/ShipController.hpp"
#include "game/level/GameCommands.hpp"
#include "game/level/RaceKeys.hpp"
#include "render/CameraFollow.hpp"
#include "game/course/CourseLibrary.hpp"
#include "game/ghost/FlightRecorder.hpp"
#include "game/ghost/GhostKeeper.hpp"
#include "game/level/GhostShip.hpp"
#include "game/level/Hud.hpp"
#include "game/level/LevelScene.hpp"
#include "game/level/RaceAudio.hpp"
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

class GameLayer final : public Layer, public GameCommands {
public:
    // Builds the level in `app`'s window and physics world, takes its input and camera, and
    // keeps records beside its settings when `app` keeps them. `app` must outlive the layer.
    explicit GameLayer(App& app);
    // The same on the courses already read (a level built anew for another course), whose
    // skipped records were said when they were read (see sayRecordsSkipped).
    GameLayer(App& app, CourseLibrary library, bool recordsSaid = false);
    ~GameLayer() override;
    GameLayer(const GameLayer&) = delete;
    GameLayer& operator=(const GameLayer&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    void restartRace() override;
    void togglePause() override;
    bool racePaused() const override;
    void toggleDebugShapes() override;
    void toggleShadowMapTiles() override;

    // The record across runs, when one is kept, and its splits (none without one).
    std::optional<float> recordTime() const;
    std::vector<float> recordSplits() const;
    // The course raced, the courses known, and the ship's controls.
    const Course& course() const { return simulation.course; }
    const CourseLibrary& courses() const { return courses_; }
    // The courses read, for a level built anew on them (this one is gone after).
    CourseLibrary takeCourses() { return std::move(courses_); }
    HidListener& ship() { return simulation.shipController; }
    std::uint32_t nextZone() const { return simulation.nextZone(); }
    // The autopilot at this race's controls.
    Autopilot autopilot() { return autopilotFor(simulation); }
    // The race's observers besides the layer's own parts.
    void addRaceObserver(RaceObserver* observer) { simulation.race.addObserver(observer); }
    void removeRaceObserver(RaceObserver* observer) { simulation.race.removeObserver(observer); }
    // The ghost ship flies the ghost `ghost` says (the record's, this run's best, or none).
    void showGhost(GhostSetting ghost);
    // Pauses or resumes the race (the application's pause, and the ship's controls held).
    void setPaused(bool paused);
    // The quality the frames are drawn at now (the governor's latest choice under "auto").
    QualityChoice quality() const;
    // Draws from the next frame at `choice` (the governor's choices go through here too).
    void setQuality(const QualityChoice& choice);
    // The player's quality setting from now on: a fixed level at `scale`, or the governor.
    void setQualitySetting(QualitySetting setting, float scale);
    // Attract mode, behind the title screen: the race runs silently (no console lines, no cues
    // but the engine, no records, no ghosts kept) and the race display is hidden.
    void setAttract(bool attract);
    bool attract() const { return m_attract; }
    // Whether the race display says "Paused" while the race stands still (a pause menu that
    // says so itself turns it off).
    void showPauseNotice(bool shown) { m_pauseNotice = shown; }
    // Takes the level's bodies out of the physics world, which stays: before the layer goes
    // so another course can be built in the same world.
    void releaseBodies();
    // Under "auto", the governor that chooses; none for a fixed level.
    const QualityGovernor* governor() const { return m_governor ? &*m_governor : nullptr; }

private:
    App& m_app;
    Stopwatch m_buildClock;  // runs from the start of construction

public:
    Renderer renderer;

private:
    double m_rendererSeconds = m_buildClock.lap();  // read once the renderer stands

public:
    LevelScene scene;
    LevelBuildTimes buildTimes{.renderer = m_rendererSeconds, .models = m_buildClock.lap()};

private:
    // The bundled courses and the player's own; the race is on the one the settings (or the
    // launcher) name.
    CourseLibrary courses_;

public:
    RaceSimulation simulation;
    CamController_FollowSceneNode cameraController;
    Hud hud;
    RaceAudio audio;
    RaceConsole console;
    std::optional<RecordKeeper> records;  // none when the launcher keeps no records
    // Every step of the flight, for the ghosts; the course's ghost across runs (kept on disk
    // only when records are) and the ghost ship that flies it.
    FlightRecorder recorder;
    GhostKeeper ghosts;
    GhostShip ghostShip;
    // The race's own keys, where no front door maps the input.
    RaceKeys keys{*this, simulation.shipController};

private:
    void queueGuide();
    HudFacts hudFacts() const;
    // Under "auto": hands the pass's time to the governor and applies what it chooses.
    void steerQuality(float time);

    float m_distanceToCourse = 0.0f;  // from the last update, for the guide
    std::optional<QualityGovernor> m_governor;
    float m_lastPassTime = -1.0f;  // real time of the last pass the governor measured
    bool m_attract = false;
    bool m_pauseNotice = true;
};

}  // namespace kes
