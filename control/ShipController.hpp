// Flies the ship. Keys, the A and B buttons, triggers and the left stick say which of eight
// directions are commanded and how strongly (what the player asks of the game, restart, pause
// and the debug views, is the input's router's to answer); once per fixed step each direction's
// level ramps up while commanded and down otherwise, the ship turns about its own axes by the net
// rates, and its body is driven along its nose at the net speed.
#pragma once

#include <array>
#include <cstdint>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "control/ControlState.hpp"
#include "physics/Physics.hpp"
#include "platform/HidListener.hpp"

namespace kes {

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

    HidListener_SceneNodeController();

    // Back to rest at p: levels zero, nose along +z, no key counted as held. The body is moved
    // there by the next fixed step.
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
    // While the race is paused a control can be let go but not taken: nothing stays held after
    // a resume that the player released during the pause.
    void setPaused(bool paused) { m_paused = paused; }
    // The commands of this step, and commands set from elsewhere (a recorded flight).
    ControlState controls() const { return {held, strengths}; }
    void setControls(const ControlState& controls);

    RigidBody* body = nullptr;  // not owned; the ship's body; without it the controller rests
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

    bool m_placePending = false;  // a respawn waits for the next step to move the body
    bool m_paused = false;
};

}  // namespace kes
