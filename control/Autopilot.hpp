// Flies the ship through the target zones in order, for demonstrations, soak runs and tests.
// It plays as a player would: it looks at where the ship is and which way its nose points and
// presses and releases keys through the ship controller's input interface.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "control/ShipController.hpp"
#include "physics/Physics.hpp"

namespace kes {

class Autopilot {
public:
    // `course` holds the course's mid points in their order round the closed course, and
    // `zoneMidPoints` the mid-point index of each target zone, in zone order. The obstacles
    // are the asteroids: capsules lying along x, which it flies around above or below, away
    // from their swing.
    Autopilot(HidListener_SceneNodeController& ship, std::vector<glm::vec3> course,
              std::vector<std::size_t> zoneMidPoints,
              std::vector<const CollisionBody*> obstacles = {});

    // One decision, once per fixed step: `nextZone` is the zone to reach next.
    void step(std::size_t nextZone);
    // Lets go of every key it holds.
    void releaseAll();

    // The point it steers at in the last step.
    glm::vec3 aimPoint{0.0f};

private:
    std::size_t closestMidPoint(const glm::vec3& position);
    glm::vec3 chooseAimPoint(const glm::vec3& position, std::size_t nextZone);
    glm::vec3 avoidObstacles(const glm::vec3& position, const glm::vec3& aim) const;
    void steerAxis(float desiredRate, float currentRate, int positiveKey, int negativeKey);
    void setKey(int key, bool down);

    HidListener_SceneNodeController& m_ship;
    std::vector<glm::vec3> m_course;
    std::vector<std::size_t> m_zoneMidPoints;
    std::vector<const CollisionBody*> m_obstacles;
    std::size_t m_lastClosest = 0;
    bool m_located = false;
    std::vector<int> m_keysDown;
};

}  // namespace kes
