// The physics debug view's geometry: collision shapes as green triangles, contact points as
// small red spheres and contact normals as white lines one unit long. Made during the world
// update when debug rendering is on; colours are packed 0xRRGGBB.
#pragma once

#include <cstdint>
#include <vector>

#include <glm/glm.hpp>

namespace kes {

class PhysicsWorld;

class DebugRenderer {
public:
    enum class DebugItem {
        COLLIDER_AABB,
        COLLIDER_BROADPHASE_AABB,
        COLLISION_SHAPE,
        CONTACT_POINT,
        CONTACT_NORMAL
    };

    struct DebugLine {
        glm::vec3 point1;
        std::uint32_t color1;
        glm::vec3 point2;
        std::uint32_t color2;
    };
    struct DebugTriangle {
        glm::vec3 point1;
        std::uint32_t color1;
        glm::vec3 point2;
        std::uint32_t color2;
        glm::vec3 point3;
        std::uint32_t color3;
    };

    static constexpr std::uint32_t kShapeColour = 0x00FF00;
    static constexpr std::uint32_t kContactPointColour = 0xFF0000;
    static constexpr std::uint32_t kContactNormalColour = 0xFFFFFF;

    void setIsDebugItemDisplayed(DebugItem item, bool displayed);
    bool getIsDebugItemDisplayed(DebugItem item) const;

    std::size_t getNbLines() const { return m_lines.size(); }
    std::size_t getNbTriangles() const { return m_triangles.size(); }
    const std::vector<DebugLine>& getLines() const { return m_lines; }
    const std::vector<DebugTriangle>& getTriangles() const { return m_triangles; }

    // Replaces the geometry with that of the world as it stands.
    void computeDebugRenderingPrimitives(PhysicsWorld& world);
    void reset();

    void addLine(const glm::vec3& from, const glm::vec3& to, std::uint32_t colour);
    void addTriangle(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c,
                     std::uint32_t colour);
    void addSphere(const glm::mat4& transform, float radius, std::uint32_t colour);
    void addBox(const glm::mat4& transform, const glm::vec3& halfExtents, std::uint32_t colour);
    // Along the transform's y axis; `halfHeight` from the centre to each sphere centre.
    void addCapsule(const glm::mat4& transform, float radius, float halfHeight,
                    std::uint32_t colour);

private:
    std::uint32_t m_displayedItems = 0;
    std::vector<DebugLine> m_lines;
    std::vector<DebugTriangle> m_triangles;
};

}  // namespace kes
