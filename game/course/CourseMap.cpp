#include "game/course/CourseMap.hpp"

#include <algorithm>

#include "game/course/CourseLayout.hpp"
#include "game/course/RacePath.hpp"

namespace kes {
namespace {

glm::vec2 fromAbove(const glm::vec3& point) {
    return {point.x, -point.z};
}

}  // namespace

CourseMap courseMap(const Course& course, std::size_t mostPoints) {
    RacePath path;
    path.console = nullptr;
    level::layOutCourse(path, course);
    const std::vector<PathMidPoint>& mids = path.midPoints();
    CourseMap map;
    map.length = path.totalLength;
    if (mids.empty()) {
        return map;
    }
    const std::size_t every =
        std::max<std::size_t>(1, mids.size() / std::max<std::size_t>(mostPoints, 1));
    for (std::size_t i = 0; i < mids.size(); i += every) {
        map.line.push_back(fromAbove(mids[i].position));
    }
    map.line.push_back(map.line.front());
    for (const std::size_t k : level::zoneMidPoints(course, mids.size())) {
        map.rings.push_back(fromAbove(mids[std::min(k, mids.size() - 1)].position));
    }
    map.start =
        fromAbove(mids[std::min<std::size_t>(course.startMidPoint, mids.size() - 1)].position);

    // Into the square, its shape kept, centred.
    glm::vec2 low = map.line.front();
    glm::vec2 high = low;
    for (const glm::vec2& p : map.line) {
        low = glm::min(low, p);
        high = glm::max(high, p);
    }
    const glm::vec2 centre = (low + high) * 0.5f;
    const float half = std::max(std::max(high.x - low.x, high.y - low.y) * 0.5f, 1e-3f);
    const auto fit = [&](glm::vec2& p) { p = (p - centre) / half; };
    std::for_each(map.line.begin(), map.line.end(), fit);
    std::for_each(map.rings.begin(), map.rings.end(), fit);
    fit(map.start);
    return map;
}

}  // namespace kes
