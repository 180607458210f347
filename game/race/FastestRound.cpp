#include "game/race/FastestRound.hpp"

#include <algorithm>

#include "game/course/CourseLayout.hpp"
#include "control/Difficulty.hpp"
#include "control/ShipController.hpp"

namespace kes {
namespace {

constexpr float kMargin = 0.9f;

// The farthest any point of the ship's colliders lies from its centre: a wing's outer corner or
// the tip of the hull.
float shipReach() {
    const float wing =
        glm::length(glm::vec3(level::kShipWingOffset, 0.0f, 0.0f) + level::kShipWingHalfExtents);
    const float hull = level::kShipHullHeight / 2.0f + level::kShipHullRadius;
    return std::max(wing, hull);
}

}  // namespace

std::vector<float> fastestSplits(const Course& course) {
    RacePath path;
    path.console = nullptr;
    level::layOutCourse(path, course);
    const auto& mids = path.midPoints();
    const std::vector<std::size_t> zones = level::zoneMidPoints(course, mids.size());
    if (zones.size() < 2 || zones.back() >= mids.size()) {
        return {};
    }
    const float topSpeed =
        HidListener_SceneNodeController::kTopSpeed * (1.0f + difficultyFactor(Difficulty::hard));
    const float reach = 2.0f * (level::kZoneSphereRadius + shipReach());
    std::vector<float> splits;
    float distance = 0.0f;
    for (std::size_t i = 1; i <= zones.size(); ++i) {
        const glm::vec3 from = mids[zones[i - 1]].position;
        const glm::vec3 to = mids[zones[i % zones.size()]].position;
        distance += std::max(glm::distance(from, to) - reach, 0.0f);
        splits.push_back(kMargin * distance / topSpeed);
    }
    return splits;
}

RecordFit recordFitOf(const Course& course) {
    return {course.zones.count, fastestSplits(course)};
}

}  // namespace kes
