#include "game/course/RacePath.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <limits>

namespace kes {
namespace {

using Clock = std::chrono::steady_clock;

long long microsecondsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count();
}

}  // namespace

std::vector<glm::vec3> raceControlPoints() {
    return {{-400, 0, 0},   {0, 400, 100}, {400, 0, 200}, {0, -300, 300},
            {-200, 0, 400}, {0, 200, 500}, {200, 0, 600}, {0, -200, 700},
            {-200, 0, 800}, {0, 200, 900}, {250, 0, 500}, {-100, -50, 0}};
}

void RacePath::addControlPoint(const glm::vec3& position) {
    m_controlPoints.push_back({position});
}

RacePath::Neighbours RacePath::neighboursAt(float t) const {
    const std::size_t n = m_controlPoints.size();
    const auto i = static_cast<std::size_t>(t);
    const std::size_t p2 = (i + 1) % n;
    return {i >= 1 ? i - 1 : n - 1, i, p2, (p2 + 1) % n, t - static_cast<float>(i)};
}

glm::vec3 RacePath::getPoint(float t) const {
    const Neighbours k = neighboursAt(t);
    const float u = k.u, u2 = u * u, u3 = u2 * u;
    const float q0 = -u3 + 2.0f * u2 - u;
    const float q1 = 3.0f * u3 - 5.0f * u2 + 2.0f;
    const float q2 = -3.0f * u3 + 4.0f * u2 + u;
    const float q3 = u3 - u2;
    return 0.5f * (q0 * m_controlPoints[k.p0].position + q1 * m_controlPoints[k.p1].position +
                   q2 * m_controlPoints[k.p2].position + q3 * m_controlPoints[k.p3].position);
}

glm::vec3 RacePath::getGradient(float t) const {
    const Neighbours k = neighboursAt(t);
    const float u = k.u, u2 = u * u;
    const float g0 = -3.0f * u2 + 4.0f * u - 1.0f;
    const float g1 = 9.0f * u2 - 10.0f * u;
    const float g2 = -9.0f * u2 + 8.0f * u + 1.0f;
    const float g3 = 3.0f * u2 - 2.0f * u;
    return 0.5f * (g0 * m_controlPoints[k.p0].position + g1 * m_controlPoints[k.p1].position +
                   g2 * m_controlPoints[k.p2].position + g3 * m_controlPoints[k.p3].position);
}

// The first course is measured in the x-y plane only; its placement (460 mid points, ten
// target zones) rests on that measure. A course that climbs and dives is measured in 3-D, so its
// mid points stay evenly spaced along the curve.
void RacePath::calculateLength(bool inPlane) {
    const Clock::time_point start = Clock::now();
    totalLength = 0.0f;
    m_arc.clear();
    m_arcStarts.clear();
    for (std::size_t i = 0; i < m_controlPoints.size(); ++i) {
        const auto t = static_cast<float>(i);
        m_arcStarts.push_back(m_arc.size());
        float length = 0.0f;
        glm::vec3 previous = getPoint(t);
        float s = 0.0f;
        do {
            const glm::vec3 current = getPoint(t + s);
            const float dz = inPlane ? 0.0f : current.z - previous.z;
            length += std::sqrt((current.x - previous.x) * (current.x - previous.x) +
                                (current.y - previous.y) * (current.y - previous.y) + dz * dz);
            previous = current;
            if (!inPlane) {
                m_arc.push_back({s, length});  // for spacing the mid points evenly
            }
            s = static_cast<float>(static_cast<double>(s) + 0.01);
        } while (s < 1.0f);
        PathControlPoint& point = m_controlPoints[i];
        point.lengthBefore = totalLength;
        point.t = t;
        point.index = static_cast<std::int32_t>(i);
        point.gradient = getGradient(t);
        point.segmentLength = length;
        totalLength += length;
    }
    if (console != nullptr) {
        *console << "Calculated the total length of the path to be " << totalLength << " in "
                 << microsecondsSince(start) << " microseconds" << std::endl;
    }
}

void RacePath::calculateMidPoints(float spacing) {
    const Clock::time_point start = Clock::now();
    m_midPoints.clear();
    float d = 0.0f;
    std::uint32_t count = 0;
    const std::size_t lastSegment = m_controlPoints.size() - 1;
    while (d < totalLength && count < kMostMidPoints) {
        float s = d;
        std::size_t k = 0;
        while (s > m_controlPoints[k].segmentLength && k < lastSegment) {
            s -= m_controlPoints[k].segmentLength;
            ++k;
        }
        const float t = segmentParameter(k, s) + static_cast<float>(k);
        m_midPoints.push_back({getPoint(t), d, t, count, getGradient(t)});
        ++count;
        d += spacing;
    }
    if (console != nullptr) {
        *console << "Calculated " << count << " approximated mid points"
                 << " in " << microsecondsSince(start) << " microseconds" << std::endl;
    }
}

// Along the curve, the parameter at `s` units into segment k comes from the lengths measured
// at every hundredth of the segment, so mid points lie evenly along it; the first course,
// measured in the plane, keeps its proportional parameter and with it its figures.
float RacePath::segmentParameter(std::size_t k, float s) const {
    if (m_arc.empty()) {
        return s / m_controlPoints[k].segmentLength;
    }
    const auto begin = m_arc.begin() + static_cast<std::ptrdiff_t>(m_arcStarts[k]);
    const auto end = k + 1 < m_arcStarts.size()
                         ? m_arc.begin() + static_cast<std::ptrdiff_t>(m_arcStarts[k + 1])
                         : m_arc.end();
    const auto above = std::lower_bound(
        begin, end, s, [](const ArcSample& sample, float value) { return sample.length < value; });
    if (above == begin) {
        return begin->parameter;
    }
    if (above == end) {
        return (end - 1)->parameter;
    }
    const ArcSample& before = *(above - 1);
    const float span = above->length - before.length;
    const float within = span > 0.0f ? (s - before.length) / span : 0.0f;
    return before.parameter + within * (above->parameter - before.parameter);
}

float RacePath::distanceToClosestMidPoint(const glm::vec3& p) const {
    if (m_midPoints.empty()) {
        return std::numeric_limits<float>::max();
    }
    const PathMidPoint* best = &m_midPoints.front();
    float nearest = std::numeric_limits<float>::max();
    for (const PathMidPoint& mid : m_midPoints) {
        const float d = glm::distance(mid.position, p);
        if (d < nearest) {
            nearest = d;
            best = &mid;
        }
    }
    if (nearest == std::numeric_limits<float>::max()) {
        std::cerr << "FOUND NO CLOSEST POINT?! (returning startpoint)" << std::endl;
    }
    return glm::distance(best->position, p);
}

void RacePath::generateMesh(float radius, std::vector<glm::vec3>& outVertices,
                            std::vector<std::uint16_t>& outIndices,
                            std::vector<PathMidPoint>& outMidPoints) const {
    Clock::time_point start = Clock::now();
    if (!outVertices.empty() || !outIndices.empty()) {
        std::cerr << "Have to clear outVertices from " << outVertices.size()
                  << " and outIndices from " << outIndices.size() << " entries!";
        outVertices.clear();
        outIndices.clear();
    }
    outMidPoints.clear();
    for (const PathMidPoint& mid : m_midPoints) {
        // Each ring's frame comes from the direction and the world's up axis, ring by ring.
        const glm::vec3 T = mid.gradient;
        glm::vec3 U(1, 0, 0), V(0, 0, 1);
        if (T.x != 0.0f || T.z != 0.0f) {
            V = glm::normalize(glm::vec3(T.z, 0.0f, -T.x));
            U = glm::normalize(glm::cross(V, T));
        }
        for (int j = 0; j < kRingVertices; ++j) {
            const auto theta = static_cast<float>(j * 2.0 * 3.14159265358979323846 / kRingVertices);
            outVertices.push_back(mid.position +
                                  radius * (std::cos(theta) * U + std::sin(theta) * V));
            outMidPoints.push_back(mid);
        }
    }
    std::cout << "Calculated " << outVertices.size() << " vertices"
              << " in " << microsecondsSince(start) << " microseconds" << std::endl;
    const std::size_t rings = m_midPoints.size();
    if (outVertices.size() != rings * kRingVertices) {
        std::cerr << "Wrong number of vertices in path mesh! Is " << outVertices.size()
                  << " but should be " << rings * kRingVertices << std::endl;
    }
    start = Clock::now();
    appendStrip(rings, outIndices);
    std::cout << "Calculated " << outIndices.size() << " indices"
              << " in " << microsecondsSince(start) << " microseconds" << std::endl;
    if (outIndices.size() != (rings + 1) * 2 * kRingVertices) {
        std::cerr << "Wrong number of indices in path mesh! Is " << outIndices.size()
                  << " but should be " << (rings + 1) * 2 * kRingVertices << std::endl;
    }
}

// One strip along the tube: down the odd columns from the last ring to ring 0, up the even
// ones from ring 0; each column visits ring 0 twice, which closes the seam between the last
// ring and the first.
void RacePath::appendStrip(std::size_t rings, std::vector<std::uint16_t>& indices) const {
    const auto push = [&indices](std::size_t index) {
        indices.push_back(static_cast<std::uint16_t>(index));
    };
    for (std::size_t j = 0; j < kRingVertices; ++j) {
        const std::size_t jn = j + 1 < kRingVertices ? j + 1 : 0;
        if (j % 2 == 1) {
            push(j);
            push(jn);
            for (std::size_t k = 0; k < rings; ++k) {
                const std::size_t base = (rings - 1 - k) * kRingVertices;
                push(base + j);
                push(base + jn);
            }
        } else {
            for (std::size_t k = 0; k < rings; ++k) {
                const std::size_t base = k * kRingVertices;
                push(base + j);
                push(base + jn);
            }
            push(j);
            push(jn);
        }
    }
}

}  // namespace kes
