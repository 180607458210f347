#include "game/course/CourseLayout.hpp"

#include <cmath>

namespace kes::level {

glm::vec3 sunPosition(const Course& course) {
    return course.sun ? course.sun->position : kSunPosition;
}

void layOutCourse(RacePath& path, const Course& course) {
    for (const glm::vec3& point : course.controlPoints) {
        path.addControlPoint(point);
    }
    path.midPointSpacing = kMidPointSpacing;
    path.calculateLength(course.measure == CourseMeasure::plane);
    path.calculateMidPoints(kMidPointSpacing);
}

std::vector<std::size_t> zoneMidPoints(std::size_t midPointCount, std::size_t count) {
    const std::size_t step = count != 0 ? midPointCount / count : 0;
    std::vector<std::size_t> indices;
    for (std::size_t zone = 0; step != 0 && zone < count; ++zone) {
        indices.push_back(zone * step);
    }
    return indices;
}

std::vector<std::size_t> zoneMidPoints(const Course& course, std::size_t midPointCount) {
    if (course.zones.midPoints.empty()) {
        return zoneMidPoints(midPointCount, course.zones.count);
    }
    return {course.zones.midPoints.begin(), course.zones.midPoints.end()};
}

std::vector<std::size_t> asteroidMidPoints(const Course& course, std::size_t midPointCount) {
    if (course.asteroids.midPoints.empty()) {
        return asteroidMidPoints(midPointCount, course.asteroids.count);
    }
    return {course.asteroids.midPoints.begin(), course.asteroids.midPoints.end()};
}

std::vector<std::size_t> asteroidMidPoints(std::size_t midPointCount, std::size_t count) {
    const std::size_t step = count != 0 ? midPointCount / count : 0;
    std::vector<std::size_t> indices;
    for (std::size_t rock = 0; step != 0 && rock < count; ++rock) {
        const std::size_t index = rock * step + step / 2 + 5;
        if (index < midPointCount) {
            indices.push_back(index);
        }
    }
    return indices;
}

glm::quat zoneOrientation(const std::vector<PathMidPoint>& mids, std::size_t k) {
    const glm::vec3 p = mids[k].position;
    const glm::vec3 d = glm::normalize(mids[(k + 1) % mids.size()].position - p);
    const glm::vec3 axis = glm::normalize(glm::cross(glm::vec3(1.0f, 0.0f, 0.0f), d));
    return glm::normalize(glm::quat(1.0f + d.x, axis.x, axis.y, axis.z));
}

glm::quat shipLaunchOrientation(const RacePath& path) {
    const glm::vec3 d = glm::normalize(path.getPoint(0.0f) - path.getPoint(0.01f));
    return glm::normalize(glm::quat(std::sqrt(1.0f + d.z), d.y, -d.x, 0.0f));
}

}  // namespace kes::level
