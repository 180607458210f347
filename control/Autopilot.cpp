#include "control/Autopilot.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

#include <GLFW/glfw3.h>

#include "physics/Step.hpp"
#include "physics/Transform.hpp"

namespace kes {

namespace {

using Ship = HidListener_SceneNodeController;

constexpr std::ptrdiff_t kLookAhead = 8;  // mid points (80 units) ahead along the course
constexpr float kOffCourse = 80.0f;       // farther than this from the course: fly straight
constexpr float kTurnGain = 3.0f;         // degrees per second of turn per degree off aim
constexpr float kMaxTurnRate = 90.0f;     // what the controller allows
constexpr float kRateTolerance = 2.0f;    // degrees per second
constexpr float kFullThrottleAngle = 25.0f;
constexpr float kBrakeAngle = 70.0f;
constexpr std::ptrdiff_t kSearchWindow = 30;  // mid points around the last closest one
constexpr float kLookOut = 160.0f;            // obstacles this far ahead are steered around
constexpr float kClearance = 20.0f;           // passing distance from an obstacle's long axis

float degrees(float radians) {
    return radians / kDegreesToRadians;
}

Ship::Direction directionOf(int key) {
    switch (key) {
        case GLFW_KEY_SPACE: return Ship::accelerate;
        case GLFW_KEY_LEFT_CONTROL: return Ship::brake;
        case GLFW_KEY_W: return Ship::pitchDown;
        case GLFW_KEY_S: return Ship::pitchUp;
        case GLFW_KEY_D: return Ship::yawRight;
        default: return Ship::yawLeft;
    }
}

}  // namespace

Autopilot::Autopilot(Ship& ship, std::vector<glm::vec3> course,
                     std::vector<std::size_t> zoneMidPoints,
                     std::vector<const CollisionBody*> obstacles)
    : m_ship(ship),
      m_course(std::move(course)),
      m_zoneMidPoints(std::move(zoneMidPoints)),
      m_obstacles(std::move(obstacles)) {}

void Autopilot::step(std::size_t nextZone) {
    // A respawn lets go of every key; press them again where still wanted.
    std::erase_if(m_keysDown, [this](int key) { return !m_ship.isHeld(directionOf(key)); });
    const glm::vec3 position = m_ship.position;
    aimPoint = avoidObstacles(position, chooseAimPoint(position, nextZone));
    const glm::vec3 local = glm::conjugate(m_ship.orientation) * (aimPoint - position);

    // Positive yaw turns the nose towards +x, positive pitch towards -y.
    const float yawError = degrees(std::atan2(local.x, local.z));
    const float pitchError = degrees(std::atan2(-local.y, std::hypot(local.x, local.z)));
    const auto& levels = m_ship.levels;
    steerAxis(std::clamp(yawError * kTurnGain, -kMaxTurnRate, kMaxTurnRate),
              levels[Ship::yawLeft] - levels[Ship::yawRight], GLFW_KEY_A, GLFW_KEY_D);
    steerAxis(std::clamp(pitchError * kTurnGain, -kMaxTurnRate, kMaxTurnRate),
              levels[Ship::pitchDown] - levels[Ship::pitchUp], GLFW_KEY_W, GLFW_KEY_S);

    // Ease off where the turn is sharp, brake where the aim is behind.
    const float offAim = degrees(std::acos(std::clamp(glm::normalize(local).z, -1.0f, 1.0f)));
    setKey(GLFW_KEY_SPACE, offAim < kFullThrottleAngle);
    setKey(GLFW_KEY_LEFT_CONTROL, offAim > kBrakeAngle);
}

void Autopilot::releaseAll() {
    while (!m_keysDown.empty()) {
        setKey(m_keysDown.back(), false);
    }
}

// Follows the course towards the next zone the short way round, a little ahead of the ship,
// and aims at the zone itself once it is that close or the ship has lost the course.
glm::vec3 Autopilot::chooseAimPoint(const glm::vec3& position, std::size_t nextZone) {
    const std::vector<glm::vec3>& mids = m_course;
    const glm::vec3 zone = mids[m_zoneMidPoints[nextZone]];
    const std::size_t here = closestMidPoint(position);
    if (glm::distance(mids[here], position) > kOffCourse) {
        m_located = false;  // search the whole course again next time
        return zone;
    }
    const auto count = static_cast<std::ptrdiff_t>(mids.size());
    std::ptrdiff_t ahead =
        static_cast<std::ptrdiff_t>(m_zoneMidPoints[nextZone]) - static_cast<std::ptrdiff_t>(here);
    ahead = ((ahead % count) + count) % count;  // forwards along the course
    if (ahead > count / 2) {
        ahead -= count;  // backwards is shorter
    }
    if (std::abs(ahead) <= kLookAhead) {
        return zone;
    }
    const std::ptrdiff_t stepTo =
        static_cast<std::ptrdiff_t>(here) + (ahead > 0 ? kLookAhead : -kLookAhead);
    return mids[static_cast<std::size_t>(((stepTo % count) + count) % count)];
}

// An obstacle close to the line towards the aim is passed on the side the ship is already
// on, across its long (x) axis, so its swing along x never closes the gap.
glm::vec3 Autopilot::avoidObstacles(const glm::vec3& position, const glm::vec3& aim) const {
    const glm::vec3 toAim = aim - position;
    const float aimDistance = glm::length(toAim);
    if (aimDistance < 1e-3f) {
        return aim;
    }
    const glm::vec3 heading = toAim / aimDistance;
    const CollisionBody* nearest = nullptr;
    float nearestAhead = kLookOut;
    for (const CollisionBody* obstacle : m_obstacles) {
        const glm::vec3 offset = obstacle->getTransform().position - position;
        const float ahead = glm::dot(offset, heading);
        const glm::vec3 across = offset - heading * ahead;
        const glm::vec3 acrossAxis = across - glm::vec3(1, 0, 0) * across.x;
        if (ahead > -5.0f && ahead < nearestAhead && glm::length(acrossAxis) < kClearance) {
            nearest = obstacle;
            nearestAhead = ahead;
        }
    }
    if (nearest == nullptr) {
        return aim;
    }
    const glm::vec3 centre = nearest->getTransform().position;
    glm::vec3 side = glm::cross(heading, glm::vec3(1, 0, 0));
    if (glm::length(side) < 0.1f) {
        side = glm::vec3(0, 1, 0);  // heading along x: any side across the axis will do
    }
    side = glm::normalize(side);
    if (glm::dot(position - centre, side) < 0.0f) {
        side = -side;
    }
    return centre + side * kClearance * 1.3f + heading * 10.0f;
}

// Searches near the last answer, so a course that passes close to itself is not confused.
std::size_t Autopilot::closestMidPoint(const glm::vec3& position) {
    const std::vector<glm::vec3>& mids = m_course;
    const auto count = static_cast<std::ptrdiff_t>(mids.size());
    std::ptrdiff_t from = 0;
    std::ptrdiff_t to = count - 1;
    if (m_located) {
        from = static_cast<std::ptrdiff_t>(m_lastClosest) - kSearchWindow;
        to = static_cast<std::ptrdiff_t>(m_lastClosest) + kSearchWindow;
    }
    float best = std::numeric_limits<float>::max();
    for (std::ptrdiff_t i = from; i <= to; ++i) {
        const auto index = static_cast<std::size_t>(((i % count) + count) % count);
        const float distance = glm::distance(mids[index], position);
        if (distance < best) {
            best = distance;
            m_lastClosest = index;
        }
    }
    m_located = true;
    return m_lastClosest;
}

// Holds the key that moves the rate towards the wanted one; with the rate close enough both
// keys are let go and the rate drifts back, to be corrected next step.
void Autopilot::steerAxis(float desiredRate, float currentRate, int positiveKey, int negativeKey) {
    const bool more = desiredRate > currentRate + kRateTolerance;
    const bool less = desiredRate < currentRate - kRateTolerance;
    setKey(positiveKey, more);
    setKey(negativeKey, less);
}

void Autopilot::setKey(int key, bool down) {
    const auto found = std::find(m_keysDown.begin(), m_keysDown.end(), key);
    const bool isDown = found != m_keysDown.end();
    if (down == isDown) {
        return;
    }
    if (down) {
        m_keysDown.push_back(key);
    } else {
        m_keysDown.erase(found);
    }
    m_ship.onKey(key, 0, down ? GLFW_PRESS : GLFW_RELEASE, 0);
}

}  // namespace kes
