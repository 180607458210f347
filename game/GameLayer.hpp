// The game itself: builds the level (the sun and its light, the course and its tube, the ship,
// ten target zones and ten swinging asteroids), moves the asteroids every fixed step, rewards
// flying close to the course with speed, draws the scene and the race display, and answers the
// collision listener's questions about its bodies.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/Layer.hpp"
#include "app/Settings.hpp"
#include "app/Stopwatch.hpp"
#include "control/CameraFollow.hpp"
#include "control/ShipController.hpp"
#include "game/CollisionsListener.hpp"
#include "game/LevelLayout.hpp"
#include "game/RacePath.hpp"
#include "game/RaceState.hpp"
#include "game/Records.hpp"
#include "render/Model.hpp"
#include "render/Renderer.hpp"

namespace kes {

struct Asteroid {
    RigidBody* body;
};

struct TargetZone {
    CollisionBody* body;
    SceneNode* node;
};

// How much the difficulty multiplies the closeness bonus: easy 0.5, medium 2.5, hard 5, any
// other value 1.
float difficultyFactor(Difficulty difficulty);

// 1 + closeness x difficulty factor, where closeness is 1 within 7 units of the course's
// nearest mid point and falls linearly to 0 at 44.5 units.
float speedFactorFor(Difficulty difficulty, float distanceToCourse);

// How long building the level took, by part, for start-up profiles.
struct LevelBuildTimes {
    double renderer = 0.0;  // render targets and shader compilation
    double models = 0.0;    // meshes, textures and the generated sphere
    double path = 0.0;      // the course and its tube
    double objects = 0.0;   // sun, ship, zones, asteroids, camera
};

// Where the guide arrow stands and points, or nothing when the next zone is in view and the
// ship on the course. `viewProj` and the unit `cameraUp` are the camera's; `offCourse` whether
// the ship left the tube.
std::optional<DebugArrow> guideArrow(const glm::vec3& ship, const glm::vec3& zone,
                                     const glm::mat4& viewProj, const glm::vec3& cameraUp,
                                     bool offCourse);

class GameLayer final : public Layer,
                        public ColliderTypeChecker,
                        public RaceCommands,
                        private RaceObserver {
public:
    GameLayer();
    ~GameLayer() override;
    GameLayer(const GameLayer&) = delete;
    GameLayer& operator=(const GameLayer&) = delete;

    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;

    bool isShip(const CollisionBody* body) override;
    std::int32_t getTargetZoneIndex(const CollisionBody* body) override;
    void onTargetZoneTouched(std::int32_t index) override;
    std::int32_t getAsteroidIndex(const CollisionBody* body) override;
    void onAsteroidTouched(std::int32_t index) override;

    // The ship back at the start, facing along the course as at launch; zone progress and the
    // running round cleared, the best time and the record kept.
    void restartRace() override;
    void togglePause() override;
    bool racePaused() const override;
    // The zone the player must touch next.
    std::uint32_t nextZone() const;

private:
    Stopwatch m_buildClock;  // the first member: it runs from the start of construction

public:
    Renderer renderer;
    LevelBuildTimes buildTimes{.renderer = m_buildClock.lap()};  // read once the renderer stands
    RacePath path;
    std::vector<Asteroid> asteroids;
    HidListener_SceneNodeController shipController;
    CamController_FollowSceneNode cameraController;
    SceneNode* shipNode = nullptr;
    std::vector<TargetZone> targetZones;
    RaceState race;
    CollisionsListener collisionsListener{this};
    Model shipModel;
    Model asteroidModel;
    Model sunModel;
    Model targetZoneModel;
    Model nextZoneModel;               // the same ring, glowing amber: the zone to touch next
    std::optional<RaceRecord> record;  // the player's best round across runs

private:
    void createSun();
    void createPath();
    void createShip();
    void createTargetZones();
    void createAsteroid(const glm::vec3& position);
    void aimCamera();
    void queueHud(float time);
    void queueSplit(float time);
    void queueGuide();
    void highlightNextZone();
    void onZoneChecked(const Split& split) override;
    void onWrongZone(std::uint32_t index) override;
    void onRoundFinished(float roundTime, bool newBest, bool newRecord) override;

    std::optional<RecordsFile> m_recordsFile;  // none when the launcher keeps no records
    glm::vec3 m_launchPosition{0.0f};
    glm::quat m_launchOrientation{1.0f, 0.0f, 0.0f, 0.0f};
    std::optional<Split> m_split;  // the last split, shown for a while
    bool m_splitFresh = false;     // its display time starts at the next frame
    float m_splitShownUntil = 0.0f;
    std::uint32_t m_highlighted = RaceState::kNone;
    float m_distanceToCourse = 0.0f;  // from the last update, for the speed bonus and the guide
};

}  // namespace kes
