#include "physics/DebugRenderer.hpp"

#include <btBulletCollisionCommon.h>

#include <algorithm>
#include <cmath>

#include <glm/gtc/matrix_transform.hpp>

#include "physics/Physics.hpp"

namespace kes {
namespace {

constexpr float kPi = 3.14159265f;
constexpr int kRings = 8;      // latitude bands of a debug sphere
constexpr int kSegments = 12;  // longitude slices
constexpr float kContactPointRadius = 0.1f;
constexpr float kContactNormalLength = 1.0f;

std::uint32_t bit(DebugRenderer::DebugItem item) {
    return 1u << static_cast<unsigned>(item);
}

glm::mat4 toGlm(const btTransform& transform) {
    glm::mat4 m;
    transform.getOpenGLMatrix(&m[0][0]);
    return m;
}

glm::vec3 toGlm(const btVector3& v) {
    return {v.x(), v.y(), v.z()};
}

std::uint32_t packColour(const btVector3& colour) {
    const auto channel = [](btScalar c) {
        return static_cast<std::uint32_t>(std::lround(std::clamp(c, 0.0f, 1.0f) * 255.0f));
    };
    return channel(colour.x()) << 16 | channel(colour.y()) << 8 | channel(colour.z());
}

// Bullet walks the shapes (compounds included) and asks for each primitive; the answers
// become triangles in the renderer's lists.
class ShapeDrawer final : public btIDebugDraw {
public:
    explicit ShapeDrawer(DebugRenderer& target) : m_target(target) {}

    void drawLine(const btVector3& from, const btVector3& to, const btVector3& colour) override {
        m_target.addLine(toGlm(from), toGlm(to), packColour(colour));
    }
    void drawSphere(btScalar radius, const btTransform& transform, const btVector3&) override {
        m_target.addSphere(toGlm(transform), radius, DebugRenderer::kShapeColour);
    }
    void drawBox(const btVector3& min, const btVector3& max, const btTransform& transform,
                 const btVector3&) override {
        const glm::mat4 centred =
            glm::translate(toGlm(transform), toGlm((min + max) * btScalar(0.5)));
        m_target.addBox(centred, toGlm((max - min) * btScalar(0.5)), DebugRenderer::kShapeColour);
    }
    void drawCapsule(btScalar radius, btScalar halfHeight, int upAxis, const btTransform& transform,
                     const btVector3&) override {
        // Turn the capsule's own up axis onto y, where addCapsule builds it.
        glm::mat4 axes(1.0f);
        if (upAxis == 0) {
            axes = glm::mat4(glm::vec4(0, -1, 0, 0), glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 1, 0),
                             glm::vec4(0, 0, 0, 1));
        } else if (upAxis == 2) {
            axes = glm::mat4(glm::vec4(1, 0, 0, 0), glm::vec4(0, 0, 1, 0), glm::vec4(0, -1, 0, 0),
                             glm::vec4(0, 0, 0, 1));
        }
        m_target.addCapsule(toGlm(transform) * axes, radius, halfHeight,
                            DebugRenderer::kShapeColour);
    }
    void drawContactPoint(const btVector3&, const btVector3&, btScalar, int,
                          const btVector3&) override {}
    void reportErrorWarning(const char*) override {}
    void draw3dText(const btVector3&, const char*) override {}
    void setDebugMode(int mode) override { m_mode = mode; }
    int getDebugMode() const override { return m_mode; }

private:
    DebugRenderer& m_target;
    int m_mode = DBG_DrawWireframe;
};

// A point of the unit sphere at latitude ring r and longitude segment s.
glm::vec3 spherePoint(int ring, int segment) {
    const float theta = kPi * static_cast<float>(ring) / kRings;
    const float phi = 2.0f * kPi * static_cast<float>(segment) / kSegments;
    return {std::sin(theta) * std::cos(phi), std::cos(theta), std::sin(theta) * std::sin(phi)};
}

}  // namespace

void DebugRenderer::setIsDebugItemDisplayed(DebugItem item, bool displayed) {
    m_displayedItems = displayed ? (m_displayedItems | bit(item)) : (m_displayedItems & ~bit(item));
}

bool DebugRenderer::getIsDebugItemDisplayed(DebugItem item) const {
    return (m_displayedItems & bit(item)) != 0;
}

void DebugRenderer::reset() {
    m_lines.clear();
    m_triangles.clear();
}

void DebugRenderer::addLine(const glm::vec3& from, const glm::vec3& to, std::uint32_t colour) {
    m_lines.push_back({from, colour, to, colour});
}

void DebugRenderer::addTriangle(const glm::vec3& a, const glm::vec3& b, const glm::vec3& c,
                                std::uint32_t colour) {
    m_triangles.push_back({a, colour, b, colour, c, colour});
}

void DebugRenderer::addSphere(const glm::mat4& transform, float radius, std::uint32_t colour) {
    addCapsule(transform, radius, 0.0f, colour);
}

void DebugRenderer::addCapsule(const glm::mat4& transform, float radius, float halfHeight,
                               std::uint32_t colour) {
    // A sphere cut at its equator, its halves pushed halfHeight up and down along y; the band
    // that joins the two copies of the equator is the cylinder (flat for a sphere).
    const auto point = [&](int ring, int segment, bool upperHalf) {
        glm::vec3 p = spherePoint(ring, segment) * radius;
        p.y += upperHalf ? halfHeight : -halfHeight;
        return glm::vec3(transform * glm::vec4(p, 1.0f));
    };
    const auto band = [&](int upperRing, bool upperHalf, int lowerRing, bool lowerHalf) {
        for (int segment = 0; segment < kSegments; ++segment) {
            const glm::vec3 a = point(upperRing, segment, upperHalf);
            const glm::vec3 b = point(upperRing, segment + 1, upperHalf);
            const glm::vec3 c = point(lowerRing, segment + 1, lowerHalf);
            const glm::vec3 d = point(lowerRing, segment, lowerHalf);
            addTriangle(a, b, c, colour);
            addTriangle(a, c, d, colour);
        }
    };
    constexpr int kEquator = kRings / 2;
    for (int ring = 0; ring < kEquator; ++ring) {
        band(ring, true, ring + 1, true);
    }
    if (halfHeight > 0.0f) {
        band(kEquator, true, kEquator, false);
    }
    for (int ring = kEquator; ring < kRings; ++ring) {
        band(ring, false, ring + 1, false);
    }
}

void DebugRenderer::addBox(const glm::mat4& transform, const glm::vec3& h, std::uint32_t colour) {
    glm::vec3 c[8];
    for (int i = 0; i < 8; ++i) {
        const glm::vec3 corner((i & 1) ? h.x : -h.x, (i & 2) ? h.y : -h.y, (i & 4) ? h.z : -h.z);
        c[i] = glm::vec3(transform * glm::vec4(corner, 1.0f));
    }
    static constexpr int kFaces[6][4] = {{2, 6, 7, 3}, {0, 1, 5, 4}, {1, 3, 7, 5},
                                         {0, 4, 6, 2}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    for (const auto& f : kFaces) {
        addTriangle(c[f[0]], c[f[1]], c[f[2]], colour);
        addTriangle(c[f[0]], c[f[2]], c[f[3]], colour);
    }
}

void DebugRenderer::computeDebugRenderingPrimitives(PhysicsWorld& world) {
    reset();
    if (getIsDebugItemDisplayed(DebugItem::COLLISION_SHAPE)) {
        ShapeDrawer drawer(*this);
        btCollisionWorld& bullet = world.bullet();
        bullet.setDebugDrawer(&drawer);
        const btVector3 green(0, 1, 0);
        for (int i = 0; i < bullet.getNumCollisionObjects(); ++i) {
            const btCollisionObject* object = bullet.getCollisionObjectArray()[i];
            bullet.debugDrawObject(object->getWorldTransform(), object->getCollisionShape(), green);
        }
        bullet.setDebugDrawer(nullptr);
    }
    for (const ContactPoint& contact : world.contactPoints()) {
        if (getIsDebugItemDisplayed(DebugItem::CONTACT_POINT)) {
            addSphere(glm::translate(glm::mat4(1.0f), contact.position), kContactPointRadius,
                      kContactPointColour);
        }
        if (getIsDebugItemDisplayed(DebugItem::CONTACT_NORMAL)) {
            addLine(contact.position, contact.position + contact.normal * kContactNormalLength,
                    kContactNormalColour);
        }
    }
}

}  // namespace kes
