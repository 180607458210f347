// Flies the ship. Keys, gamepad buttons, triggers and the left stick say which of eight
// directions are commanded and how strongly; once per fixed step each direction's level ramps
// up while commanded and down otherwise, the ship turns about its own axes by the net rates,
// and its body is driven along its nose at the net speed.
#pragma once

#include <array>
#include <cstdint>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "game/Physics.hpp"
#include "platform/HidListener.hpp"
#include "render/Camera.hpp"
#include "render/SceneNode.hpp"

namespace kes {

// What the player asks of the game rather than of the ship: the race, the pause and the debug
// views. The game answers.
class GameCommands {
public:
    virtual void restartRace() = 0;
    virtual void togglePause() = 0;
    virtual bool racePaused() const = 0;
    virtual void toggleDebugShapes() = 0;     // F1: the collision shapes
    virtual void toggleShadowMapTiles() = 0;  // F2: the shadow maps

protected:
    ~GameCommands() = default;
};

class HidListener_SceneNodeController final : public HidListener {
public:
    enum Direction : std::uint8_t {
        accelerate = 0,
        brake,
        pitchDown,
        pitchUp,
        yawRight,
        yawLeft,
        rollRight,
        rollLeft,
        kDirectionCount
    };
    // Units a second at full throttle and full reverse, before the closeness bonus.
    static constexpr float kTopSpeed = 30.0f;
    static constexpr float kTopReverse = 15.0f;
    // The strongest a command can be: a key or a trigger at most 1, the stick pushed into a
    // corner the length of (1, 1).
    static constexpr float kStrongest = 1.41421357f;

    // Writes `camera_` (its target, on a respawn), which must outlive the controller.
    explicit HidListener_SceneNodeController(Camera* camera_);

    // Back to rest at p: levels zero, nose along +z, no key counted as held. The body is moved
    // there by the next fixed step; the camera looks at where the node was drawn.
    void respawn(const glm::vec3& p);
    // One motion step of 1/60 s.
    void fixedUpdate();

    void onKey(int key, int scancode, std::uint8_t action, std::uint8_t mods) override;
    void onGamepadButtons(std::uint16_t changed, bool pressed) override;
    void onLeftStick(float x, float y, float magnitude) override;
    // The right trigger accelerates and the left one brakes, as strongly as they are pulled.
    void onLeftTrigger(float value) override;
    void onRightTrigger(float value) override;

    bool isHeld(Direction direction) const;

    SceneNode* node = nullptr;  // not owned; the ship as drawn, for the camera on a respawn
    RigidBody* body = nullptr;  // not owned; the ship's body; without it the controller rests
    // Not owned; R and Back (restart), P and Start (pause), F1 and F2 (debug views) go there.
    // While the race is paused only resuming, the debug views and letting go are heard.
    GameCommands* commands = nullptr;
    Camera* camera;
    std::array<float, kDirectionCount> levels{};  // degrees or units per second
    glm::vec3 forward{0.0f, 0.0f, 1.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
    glm::vec3 position{0.0f};
    float speedFactor = 1.0f;  // below 1 counts as 1
    std::array<float, kDirectionCount> strengths{};
    std::uint8_t held = 0;

private:
    void command(Direction direction, bool on, float strength);
    void rampLevels();
    void turn(float pitch, float yaw, float roll);
    void moveBody();

    bool paused() const;

    bool m_placePending = false;  // a respawn waits for the next step to move the body
};

}  // namespace kes
