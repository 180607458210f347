#include "game/course/CourseCheck.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "game/course/CourseLayout.hpp"

namespace kes {
namespace {

std::string whole(float value) {
    return std::to_string(static_cast<long>(std::lround(value)));
}

// The radius of the circle through three points; infinite where they lie on a line.
float circleRadius(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c) {
    const float ab = glm::distance(a, b);
    const float bc = glm::distance(b, c);
    const float ca = glm::distance(c, a);
    const float twiceArea = glm::length(glm::cross(b - a, c - a));
    return twiceArea < 1e-6f ? std::numeric_limits<float>::infinity()
                             : ab * bc * ca / (2.0f * twiceArea);
}

// The bend at each mid point, over the mid points two either side (a smoother measure than
// the nearest neighbours).
std::vector<float> bendRadii(const std::vector<PathMidPoint>& mids) {
    const std::size_t n = mids.size();
    std::vector<float> radii(n, std::numeric_limits<float>::infinity());
    for (std::size_t i = 0; n >= 5 && i < n; ++i) {
        radii[i] = circleRadius(mids[(i + n - 2) % n].position, mids[i].position,
                                mids[(i + 2) % n].position);
    }
    return radii;
}

class Checker {
public:
    Checker(const Course& course, const CourseLines& lines) : m_course(course), m_lines(lines) {}

    CourseCheck run() {
        if (checkNumbers() && checkPoints()) {
            m_path.console = nullptr;
            level::layOutCourse(m_path, m_course);
            const bool laidOut = checkLength() && checkStart() && checkPlacements() &&
                                 checkZonesApart() && checkBends() && checkClearance();
            if (laidOut) {
                warnAboutRocksAndSun();
            }
        }
        return std::move(m_check);
    }

private:
    bool refuse(std::size_t line, std::string text) {
        m_check.problem = CourseNote{line, std::move(text)};
        return false;
    }
    void warn(std::size_t line, std::string text) {
        m_check.warnings.push_back({line, std::move(text)});
    }
    std::size_t pointLine(std::size_t point) const {
        return point < m_lines.points.size() ? m_lines.points[point] : 0;
    }
    // The line of the control point a mid point's stretch starts at.
    std::size_t midPointLine(std::size_t mid) const {
        return pointLine(static_cast<std::size_t>(m_path.midPoints()[mid].t));
    }

    bool checkNumbers() {
        const Course& c = m_course;
        if (c.controlPoints.size() < Course::kFewestPoints) {
            return refuse(pointLine(c.controlPoints.size() - 1),
                          "has " + std::to_string(c.controlPoints.size()) +
                              " points; a course needs at least " +
                              std::to_string(Course::kFewestPoints));
        }
        if (!(c.tubeRadius >= Course::kSmallestTube && c.tubeRadius <= Course::kLargestTube)) {
            return refuse(m_lines.tubeRadius,
                          "has a tube radius of " + whole(c.tubeRadius) + "; it must be 10 to 60");
        }
        if (c.zones.count < Course::kFewestZones || c.zones.count > Course::kMostZones) {
            return refuse(m_lines.zones,
                          "has " + std::to_string(c.zones.count) + " zones; a course has 4 to 20");
        }
        if (c.asteroids.count > Course::kMostAsteroids) {
            return refuse(m_lines.asteroids, "has " + std::to_string(c.asteroids.count) +
                                                 " asteroids; a course has at most 30");
        }
        return true;
    }

    // Before anything is laid out: every point near enough to the origin, no two neighbours
    // in one place (they stall the spline), and the straight lines between the points no
    // longer than a course may be (the curve through them is longer still), so laying it out
    // stays small.
    bool checkPoints() {
        const auto& points = m_course.controlPoints;
        double chords = 0.0;
        for (std::size_t i = 0; i < points.size(); ++i) {
            const glm::vec3& p = points[i];
            const float farthest = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
            if (!(farthest <= CourseLimits::kFarthest)) {
                return refuse(pointLine(i), "has a point " + whole(farthest) +
                                                " units from the origin; points stand within " +
                                                whole(CourseLimits::kFarthest));
            }
            const std::size_t next = (i + 1) % points.size();
            const float apart = glm::distance(points[i], points[next]);
            if (apart < 1.0f) {
                return refuse(pointLine(next), "has two neighbouring points in the same place");
            }
            chords += double(apart);
        }
        if (chords > double(CourseLimits::kLongest)) {
            return refuse(0, "is at least " + whole(static_cast<float>(chords)) +
                                 " units long; a course is 1000 to 20000");
        }
        return true;
    }

    bool checkLength() {
        const float length = m_path.totalLength;
        if (!(length >= CourseLimits::kShortest && length <= CourseLimits::kLongest)) {
            return refuse(0, "is " + whole(length) + " units long; a course is 1000 to 20000");
        }
        if (length > CourseLimits::kLongWarning) {
            warn(0, "is " + whole(length) + " units long: a round will take minutes");
        }
        return true;
    }

    bool checkStart() {
        const std::size_t mids = m_path.midPoints().size();
        if (m_course.startMidPoint >= mids) {
            return refuse(m_lines.start, "starts at mid point " +
                                             std::to_string(m_course.startMidPoint) +
                                             ", outside the course's " + std::to_string(mids));
        }
        return true;
    }

    bool checkPlacements() {
        const std::size_t mids = m_path.midPoints().size();
        m_zones = level::zoneMidPoints(m_course, mids);
        m_rocks = level::asteroidMidPoints(m_course, mids);
        for (std::size_t i = 0; i < m_zones.size(); ++i) {
            if (m_zones[i] >= mids || (i > 0 && m_zones[i] <= m_zones[i - 1])) {
                return refuse(m_lines.zones, "has zones that are not rising mid points below " +
                                                 std::to_string(mids));
            }
        }
        if (m_zones.size() != m_course.zones.count) {
            return refuse(m_lines.zones, "is too short for its " +
                                             std::to_string(m_course.zones.count) + " zones");
        }
        for (const std::size_t rock : m_rocks) {
            if (rock >= mids) {
                return refuse(m_lines.asteroids, "has an asteroid at mid point " +
                                                     std::to_string(rock) + ", outside the course");
            }
        }
        return true;
    }

    // Zone spheres that overlap, or nearly, let one touch check two zones.
    bool checkZonesApart() {
        const float apart = 2.0f * level::kZoneSphereRadius + 2.0f * level::kShipHullHeight;
        const auto& mids = m_path.midPoints();
        for (std::size_t i = 0; i < m_zones.size(); ++i) {
            for (std::size_t j = i + 1; j < m_zones.size(); ++j) {
                const float d = glm::distance(mids[m_zones[i]].position, mids[m_zones[j]].position);
                if (d < apart) {
                    return refuse(m_lines.zones, "has zones " + std::to_string(i + 1) + " and " +
                                                     std::to_string(j + 1) + " " + whole(d) +
                                                     " units apart: one touch could check both");
                }
            }
        }
        return true;
    }

    bool checkBends() {
        const std::vector<float> radii = bendRadii(m_path.midPoints());
        const auto tightest = std::min_element(radii.begin(), radii.end());
        const auto at = static_cast<std::size_t>(tightest - radii.begin());
        if (*tightest < CourseLimits::kTightestBend) {
            return refuse(midPointLine(at), "has a bend of radius " + whole(*tightest) +
                                                " units, tighter than the ship can turn");
        }
        if (*tightest < CourseLimits::kTightestBendAtFullBonus) {
            warn(midPointLine(at), "has a bend of radius " + whole(*tightest) +
                                       " units: the ship must slow down for it");
        }
        return true;
    }

    // Two stretches that are not neighbours along the course must keep their tubes apart.
    // Neighbours: within half a circle whose diameter is the clearance, along the course.
    bool checkClearance() {
        const auto& mids = m_path.midPoints();
        const std::size_t n = mids.size();
        const float clearance = CourseLimits::kTubeClearance * m_course.tubeRadius;
        const auto neighbourSteps = static_cast<std::size_t>(
            std::ceil(std::numbers::pi_v<float> * clearance / m_path.midPointSpacing));
        float closest = std::numeric_limits<float>::infinity();
        std::size_t closestAt = 0;
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + neighbourSteps + 1; j < n; ++j) {
                if (n - (j - i) <= neighbourSteps) {
                    break;  // as near going round the other way
                }
                const float d = glm::distance(mids[i].position, mids[j].position);
                if (d < closest) {
                    closest = d;
                    closestAt = i;
                }
            }
        }
        if (closest < CourseLimits::kTubeMerges * m_course.tubeRadius) {
            return refuse(midPointLine(closestAt),
                          "passes through itself: two stretches " + whole(closest) +
                              " units apart, where the ship can cross from one to the other");
        }
        if (closest < clearance) {
            warn(midPointLine(closestAt),
                 "has two stretches " + whole(closest) + " units apart, whose tube walls meet");
        }
        return true;
    }

    void warnAboutRocksAndSun() {
        const auto& mids = m_path.midPoints();
        for (const std::size_t rock : m_rocks) {
            for (std::size_t z = 0; z < m_zones.size(); ++z) {
                if (glm::distance(mids[rock].position, mids[m_zones[z]].position) <
                    level::kZoneSphereRadius + level::kAsteroidHeight) {
                    warn(m_lines.asteroids,
                         "has an asteroid inside zone " + std::to_string(z + 1) + "'s reach");
                    return;
                }
            }
        }
        const glm::vec3 sun = level::sunPosition(m_course);
        if (m_path.distanceToClosestMidPoint(sun) < level::kSunRadius + m_course.tubeRadius) {
            warn(0, "has its sun inside the tube");
        }
    }

    const Course& m_course;
    const CourseLines& m_lines;
    RacePath m_path;
    std::vector<std::size_t> m_zones;
    std::vector<std::size_t> m_rocks;
    CourseCheck m_check;
};

}  // namespace

CourseCheck checkCourse(const Course& course, const CourseLines& lines) {
    return Checker(course, lines).run();
}

float tightestBendRadius(const Course& course) {
    RacePath path;
    path.console = nullptr;
    level::layOutCourse(path, course);
    const std::vector<float> radii = bendRadii(path.midPoints());
    return radii.empty() ? std::numeric_limits<float>::infinity()
                         : *std::min_element(radii.begin(), radii.end());
}

}  // namespace kes
