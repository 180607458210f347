#include "game/course/CourseSeed.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "game/course/CourseCheck.hpp"

namespace kes {
namespace {

constexpr float kSquare = 900.0f;      // the points are drawn in [-900, 900]^2
constexpr float kCrowded = 260.0f;     // points closer than this are pushed apart
constexpr float kSharpCosine = -0.2f;  // corners narrower than about 100 degrees open up
constexpr float kSwell = 140.0f;       // heights within +-140 units, then smoothed
constexpr int kMostAttempts = 64;

using Point = glm::vec2;

float cross(const Point& o, const Point& a, const Point& b) {
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

float length(const Point& p) {
    return std::sqrt(p.x * p.x + p.y * p.y);
}

// Andrew's monotone chain, counter-clockwise, without collinear points.
std::vector<Point> convexHull(std::vector<Point> points) {
    std::sort(points.begin(), points.end(), [](const Point& a, const Point& b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    std::vector<Point> hull(2 * points.size());
    std::size_t k = 0;
    for (const Point& p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0.0f) {
            --k;
        }
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0.0f) {
            --k;
        }
        hull[k++] = points[i];
    }
    hull.resize(k > 0 ? k - 1 : 0);
    return hull;
}

// A point between each two neighbours, pushed out or in across their line by up to a third
// of their distance.
std::vector<Point> withMidpoints(const std::vector<Point>& hull, SeedSequence& random) {
    std::vector<Point> points;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Point& a = hull[i];
        const Point& b = hull[(i + 1) % hull.size()];
        const Point along = b - a;
        const float span = length(along);
        const Point outward = span > 0.0f ? Point(along.y, -along.x) / span : Point(0.0f);
        const float push = (random.unit() * 2.0f - 1.0f) * span / 3.0f;
        points.push_back(a);
        points.push_back((a + b) * 0.5f + outward * push);
    }
    return points;
}

void pushApart(std::vector<Point>& points) {
    for (int round = 0; round < 12; ++round) {
        for (std::size_t i = 0; i < points.size(); ++i) {
            for (std::size_t j = i + 1; j < points.size(); ++j) {
                const Point between = points[j] - points[i];
                const float d = length(between);
                if (d < kCrowded && d > 0.0f) {
                    const Point shift = between / d * ((kCrowded - d) * 0.5f);
                    points[i] -= shift;
                    points[j] += shift;
                }
            }
        }
    }
}

// A corner narrower than the limit moves towards the middle of its neighbours.
void openCorners(std::vector<Point>& points) {
    const std::size_t n = points.size();
    for (int round = 0; round < 12; ++round) {
        for (std::size_t i = 0; i < n; ++i) {
            const Point& before = points[(i + n - 1) % n];
            const Point& after = points[(i + 1) % n];
            const Point toBefore = before - points[i];
            const Point toAfter = after - points[i];
            const float spans = length(toBefore) * length(toAfter);
            if (spans > 0.0f &&
                (toBefore.x * toAfter.x + toBefore.y * toAfter.y) / spans > kSharpCosine) {
                points[i] += ((before + after) * 0.5f - points[i]) * 0.4f;
            }
        }
    }
}

std::vector<glm::vec3> withHeights(const std::vector<Point>& points, SeedSequence& random) {
    std::vector<float> heights;
    for (std::size_t i = 0; i < points.size(); ++i) {
        heights.push_back((random.unit() * 2.0f - 1.0f) * kSwell);
    }
    std::vector<glm::vec3> course;
    const std::size_t n = points.size();
    for (std::size_t i = 0; i < n; ++i) {
        const float smooth =
            (heights[(i + n - 1) % n] + 2.0f * heights[i] + heights[(i + 1) % n]) * 0.25f;
        course.emplace_back(std::round(points[i].x), std::round(points[i].y), std::round(smooth));
    }
    return course;
}

Course growOnce(std::uint32_t seed, SeedSequence& random) {
    std::vector<Point> points;
    const std::uint32_t count = random.between(8, 13);
    for (std::uint32_t i = 0; i < count; ++i) {
        points.emplace_back((random.unit() * 2.0f - 1.0f) * kSquare,
                            (random.unit() * 2.0f - 1.0f) * kSquare);
    }
    std::vector<Point> outline = withMidpoints(convexHull(points), random);
    pushApart(outline);
    openCorners(outline);

    Course course;
    course.name = "seed:" + std::to_string(seed);
    course.title = "Seed " + std::to_string(seed);
    course.controlPoints = withHeights(outline, random);
    course.measure = CourseMeasure::curve;
    course.tubeRadius = 25.0f;
    course.zones = {random.between(6, 12), {}};
    course.asteroids = {random.between(4, 12), {}};
    course.startMidPoint = 5;
    return course;
}

// The course of last resort: an octagon 800 units across with the seed's zone count; it passes
// every check.
Course octagon(std::uint32_t seed) {
    Course course;
    course.name = "seed:" + std::to_string(seed);
    course.title = "Seed " + std::to_string(seed);
    course.controlPoints = {{800, 0, 0},  {566, 566, 40},   {0, 800, 0},  {-566, 566, -40},
                            {-800, 0, 0}, {-566, -566, 40}, {0, -800, 0}, {566, -566, -40}};
    course.zones = {8, {}};
    course.asteroids = {6, {}};
    return course;
}

}  // namespace

std::uint64_t SeedSequence::next() {
    m_state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

float SeedSequence::unit() {
    return static_cast<float>(next() >> 40) / 16777216.0f;
}

std::uint32_t SeedSequence::between(std::uint32_t lowest, std::uint32_t highest) {
    const std::uint64_t span = std::uint64_t(highest) - lowest + 1;
    return lowest + static_cast<std::uint32_t>(next() % span);
}

std::optional<std::uint32_t> seedOf(const std::string& courseName) {
    constexpr std::string_view kPrefix = "seed:";
    if (courseName.size() <= kPrefix.size() ||
        courseName.compare(0, kPrefix.size(), kPrefix) != 0) {
        return std::nullopt;
    }
    const char* first = courseName.data() + kPrefix.size();
    const char* last = courseName.data() + courseName.size();
    if (std::any_of(first, last, [](char c) { return c < '0' || c > '9'; })) {
        return std::nullopt;
    }
    std::uint32_t seed = 0;
    const auto [end, error] = std::from_chars(first, last, seed);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return seed;
}

Course courseFromSeed(std::uint32_t seed) {
    SeedSequence random(seed);
    for (int attempt = 0; attempt < kMostAttempts; ++attempt) {
        Course course = growOnce(seed, random);
        if (!checkCourse(course).problem) {
            return course;
        }
    }
    return octagon(seed);
}

}  // namespace kes
