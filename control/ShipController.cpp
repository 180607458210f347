#include "control/ShipController.hpp"

#include <algorithm>
#include <cmath>

#include <GLFW/glfw3.h>

#include "physics/Step.hpp"
#include "physics/Transform.hpp"

namespace kes {

namespace {

using Controller = HidListener_SceneNodeController;

constexpr float kStep = kFixedStep;
constexpr float kNetEpsilon = 0.0001f;
constexpr float kStickDeadZone = 0.2f;
constexpr float kTriggerPulled = 0.01f;
constexpr std::uint16_t kButtonA = 0x1000;
constexpr std::uint16_t kButtonB = 0x2000;

struct DirectionRow {
    std::uint8_t bit;
    int key;
    float rise;  // per step while held, times the strength
    float fall;  // per step while not held, times the strength
    float maximum;
};

// Indexed by Direction. The ramps are single-precision products of a rate and the step.
constexpr std::array<DirectionRow, Controller::kDirectionCount> kDirections = {{
    {0x40, GLFW_KEY_SPACE, 10.0f * kStep, 5.0f * kStep, Controller::kTopSpeed},
    {0x80, GLFW_KEY_LEFT_CONTROL, 5.0f * kStep, 2.5f * kStep, Controller::kTopReverse},
    {0x02, GLFW_KEY_W, 50.0f * kStep, 50.0f * kStep, 90.0f},
    {0x01, GLFW_KEY_S, 50.0f * kStep, 50.0f * kStep, 90.0f},
    {0x08, GLFW_KEY_D, 50.0f * kStep, 50.0f * kStep, 90.0f},
    {0x04, GLFW_KEY_A, 50.0f * kStep, 50.0f * kStep, 90.0f},
    {0x10, GLFW_KEY_RIGHT, 50.0f * kStep, 25.0f * kStep, 90.0f},
    {0x20, GLFW_KEY_LEFT, 50.0f * kStep, 25.0f * kStep, 90.0f},
}};

float netValue(float positive, float negative, float lowest, float highest) {
    const float net = positive - negative;
    return std::fabs(net) < kNetEpsilon ? 0.0f : std::clamp(net, lowest, highest);
}

glm::quat aboutAxis(float radians, int axis) {
    glm::vec3 angles(0.0f);
    angles[axis] = radians;
    return glm::quat(angles);
}

}  // namespace

Controller::HidListener_SceneNodeController() {
    respawn(glm::vec3(0.0f));
}

void Controller::respawn(const glm::vec3& p) {
    m_placePending = body != nullptr;
    levels.fill(0.0f);
    forward = {0.0f, 0.0f, 1.0f};
    orientation = glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    speedFactor = 1.0f;
    position = p;
    strengths.fill(1.0f);
    held = 0;
}

bool Controller::isHeld(Direction direction) const {
    return (held & kDirections[direction].bit) != 0;
}

void Controller::setControls(const ControlState& controls) {
    held = controls.held;
    strengths = controls.strengths;
}

void Controller::command(Direction direction, bool on, float strength) {
    if (on && m_paused) {
        return;
    }
    const std::uint8_t bit = kDirections[direction].bit;
    held = static_cast<std::uint8_t>(on ? (held | bit) : (held & ~bit));
    strengths[direction] = strength;
}

void Controller::onKey(int key, int /*scancode*/, std::uint8_t action, std::uint8_t /*mods*/) {
    if (action != GLFW_PRESS && action != GLFW_RELEASE) {
        return;
    }
    const bool press = action == GLFW_PRESS;
    for (std::uint8_t direction = 0; direction < kDirectionCount; ++direction) {
        if (kDirections[direction].key == key) {
            const auto d = static_cast<Direction>(direction);
            command(d, press, press ? 1.0f : strengths[d]);
            return;
        }
    }
}

// Only a packet that changes one of these buttons alone counts.
void Controller::onGamepadButtons(std::uint16_t changed, bool pressed) {
    if (changed == kButtonA) {
        command(accelerate, pressed, 1.0f);
    } else if (changed == kButtonB) {
        command(brake, pressed, 1.0f);
    }
}

// A direction the stick leaves falls at the rate of a released key, so a turn dies away once
// the stick is back at rest.
void Controller::onLeftStick(float x, float y, float magnitude) {
    const auto push = [this, magnitude](Direction direction, bool pushed) {
        command(direction, pushed, pushed ? magnitude : 1.0f);
    };
    push(yawLeft, x < -kStickDeadZone);
    push(yawRight, x > kStickDeadZone);
    push(pitchUp, y < -kStickDeadZone);
    push(pitchDown, y > kStickDeadZone);
}

// A released trigger lets its level fall at the rate a released key would.
void Controller::onLeftTrigger(float value) {
    const bool pulled = value > kTriggerPulled;
    command(brake, pulled, pulled ? value : 1.0f);
}

void Controller::onRightTrigger(float value) {
    const bool pulled = value > kTriggerPulled;
    command(accelerate, pulled, pulled ? value : 1.0f);
}

void Controller::fixedUpdate() {
    if (body == nullptr) {
        return;
    }
    rampLevels();
    const float yaw = netValue(levels[yawLeft], levels[yawRight], -90.0f, 90.0f);
    const float pitch = netValue(levels[pitchDown], levels[pitchUp], -90.0f, 90.0f);
    const float roll = netValue(levels[rollRight], levels[rollLeft], -90.0f, 90.0f);
    const float speed = netValue(levels[accelerate], levels[brake], -kTopReverse, kTopSpeed);
    turn(pitch, yaw, roll);

    const glm::vec3 direction = orientation * forward;
    const glm::vec3 velocity = direction * (std::max(speedFactor, 1.0f) * speed);
    body->setLinearVelocity(velocity);
    position += velocity * kStep;
    moveBody();
}

void Controller::rampLevels() {
    for (std::uint8_t direction = 0; direction < kDirectionCount; ++direction) {
        const DirectionRow& row = kDirections[direction];
        const float change = isHeld(static_cast<Direction>(direction)) ? row.rise : -row.fall;
        levels[direction] =
            std::clamp(levels[direction] + strengths[direction] * change, 0.0f, row.maximum);
    }
}

// Each turn multiplies on the right, so it is about the ship's own axes. While it yaws the
// ship also rolls into the turn at three quarters of the yaw rate.
void Controller::turn(float pitch, float yaw, float roll) {
    const float scale = kStep * kDegreesToRadians;
    orientation = orientation * aboutAxis(pitch * scale, 0);
    orientation = orientation * aboutAxis(yaw * scale, 1);
    orientation = orientation * aboutAxis(roll * scale, 2);
    orientation = orientation * aboutAxis(-yaw * kStep * 0.75f * kDegreesToRadians, 2);
}

void Controller::moveBody() {
    Transform transform = body->getTransform();
    if (m_placePending) {
        transform.position = position;
        m_placePending = false;
    }
    transform.orientation = orientation;
    body->setTransform(transform);
}

}  // namespace kes
