// The course of the race: a closed Catmull-Rom spline through its control points. It measures
// itself (in the x-y plane, or along the curve), samples itself into mid points every
// `midPointSpacing` units of that measure (everything in the level stands on them), tells how far a
// point is from the course, and builds the tube mesh drawn around it.
#pragma once

#include <cstdint>
#include <iostream>
#include <vector>

#include <glm/glm.hpp>

namespace kes {

struct PathControlPoint {
    glm::vec3 position;
    float lengthBefore = -1.0f;  // measured length of all segments before this one
    float t = -1.0f;             // the segment's start parameter, its index
    std::int32_t index = -1;
    glm::vec3 gradient{0.0f};  // path derivative at t
    float segmentLength = -1.0f;
};

struct PathMidPoint {
    glm::vec3 position;
    float distance;  // measured from the path start, a multiple of the spacing
    float t;         // path parameter
    std::uint32_t index;
    glm::vec3 gradient;  // not normalised
};

static_assert(sizeof(PathControlPoint) == 40);
static_assert(sizeof(PathMidPoint) == 36);

class RacePath {
public:
    static constexpr int kRingVertices = 40;  // vertices around each ring of the tube
    // The most mid points sampled, whatever the length says: a course of 20000 units at the
    // level's spacing of 10 has 2000; a path of absurd length stops here instead of growing
    // without end (checked courses never come near it).
    static constexpr std::uint32_t kMostMidPoints = 65536;

    void addControlPoint(const glm::vec3& position);

    // 0 <= t < number of control points; indices wrap around, the path is closed.
    glm::vec3 getPoint(float t) const;
    glm::vec3 getGradient(float t) const;

    // Measures every segment, in the x-y plane (the first course's measure) or along the curve
    // in 3-D, and fills in the control points.
    void calculateLength(bool inPlane = true);
    void calculateMidPoints(float spacing);
    std::vector<PathMidPoint> getMidPoints() const { return m_midPoints; }
    const std::vector<PathMidPoint>& midPoints() const { return m_midPoints; }
    const std::vector<PathControlPoint>& controlPoints() const { return m_controlPoints; }

    // 3D distance from p to the nearest mid point (the first one if none is nearer, as for a
    // point that is not finite).
    float distanceToClosestMidPoint(const glm::vec3& p) const;

    // A ring of kRingVertices vertices round every mid point, joined into one triangle strip.
    // Full output lists are reported and emptied first.
    void generateMesh(float radius, std::vector<glm::vec3>& outVertices,
                      std::vector<std::uint16_t>& outIndices,
                      std::vector<PathMidPoint>& outMidPoints) const;

    float midPointSpacing = 10.0f;
    float totalLength = 0.0f;
    // Where measuring and sampling report what they did; none: quiet (checking courses).
    std::ostream* console = &std::cout;

private:
    struct Neighbours {
        std::size_t p0, p1, p2, p3;
        float u;
    };
    Neighbours neighboursAt(float t) const;
    void appendStrip(std::size_t rings, std::vector<std::uint16_t>& indices) const;
    float segmentParameter(std::size_t k, float s) const;

    std::vector<PathControlPoint> m_controlPoints;
    std::vector<PathMidPoint> m_midPoints;
    // Along the curve: the length into its segment at each parameter measured, and where each
    // segment's samples begin.
    struct ArcSample {
        float parameter;  // within the segment, 0 to 1
        float length;
    };
    std::vector<ArcSample> m_arc;
    std::vector<std::size_t> m_arcStarts;
};

// The control points of the first course, in their order.
std::vector<glm::vec3> raceControlPoints();

}  // namespace kes
