#include "physics/Physics.hpp"

#include <btBulletCollisionCommon.h>

#include <algorithm>

#include "physics/DebugRenderer.hpp"

namespace kes {
namespace {

btVector3 toBullet(const glm::vec3& v) {
    return {v.x, v.y, v.z};
}
glm::vec3 toGlm(const btVector3& v) {
    return {v.x(), v.y(), v.z()};
}

// The same key for a pair whichever body Bullet lists first.
std::pair<CollisionBody*, CollisionBody*> unordered(CollisionBody* a, CollisionBody* b) {
    return a < b ? std::pair(a, b) : std::pair(b, a);
}

btTransform toBullet(const Transform& t) {
    return btTransform(
        btQuaternion(t.orientation.x, t.orientation.y, t.orientation.z, t.orientation.w),
        toBullet(t.position));
}

Transform toTransform(const btTransform& t) {
    const btQuaternion q = t.getRotation();
    return {toGlm(t.getOrigin()), glm::quat(q.w(), q.x(), q.y(), q.z())};
}

}  // namespace

CollisionShape::CollisionShape(std::unique_ptr<btCollisionShape> shape)
    : m_shape(std::move(shape)) {}

CollisionShape::~CollisionShape() = default;

CollisionBody::CollisionBody(PhysicsWorld& world, const Transform& transform, bool kinematic)
    : m_world(world),
      m_compound(std::make_unique<btCompoundShape>()),
      m_object(std::make_unique<btCollisionObject>()),
      m_kinematic(kinematic) {
    m_object->setCollisionShape(m_compound.get());
    m_object->setWorldTransform(toBullet(transform));
    m_object->setUserPointer(this);
    if (kinematic) {
        m_object->setCollisionFlags(btCollisionObject::CF_KINEMATIC_OBJECT);
        m_object->setActivationState(DISABLE_DEACTIVATION);
    } else {
        m_object->setCollisionFlags(btCollisionObject::CF_STATIC_OBJECT);
    }
}

CollisionBody::~CollisionBody() {
    if (m_inWorld) {
        m_world.bullet().removeCollisionObject(m_object.get());
    }
}

Transform CollisionBody::getTransform() const {
    return toTransform(m_object->getWorldTransform());
}

void CollisionBody::setTransform(const Transform& transform) {
    m_object->setWorldTransform(toBullet(transform));
}

void CollisionBody::teleport(const Transform& transform) {
    setTransform(transform);
    m_world.forgetContactsOf(this);
}

Collider* CollisionBody::addCollider(CollisionShape* shape, const Transform& localTransform) {
    m_colliders.push_back(std::make_unique<Collider>(Collider{shape, localTransform}));
    m_compound->addChildShape(toBullet(localTransform), shape->bullet());
    // A body without colliders has no bounds, so it joins collision detection only now.
    if (!m_inWorld) {
        const int group =
            m_kinematic ? btBroadphaseProxy::KinematicFilter : btBroadphaseProxy::StaticFilter;
        const int mask = m_kinematic
                             ? btBroadphaseProxy::AllFilter
                             : (btBroadphaseProxy::AllFilter ^ btBroadphaseProxy::StaticFilter);
        m_world.bullet().addCollisionObject(m_object.get(), group, mask);
        m_inWorld = true;
    }
    return m_colliders.back().get();
}

RigidBody::RigidBody(PhysicsWorld& world, const Transform& transform)
    : CollisionBody(world, transform, true) {}

void RigidBody::advance(float dt) {
    if (m_type == BodyType::STATIC) {
        return;
    }
    Transform transform = getTransform();
    transform.position += m_linearVelocity * dt;
    const float angle = glm::length(m_angularVelocity) * dt;
    if (angle > 0.0f) {
        const glm::quat turn = glm::angleAxis(angle, glm::normalize(m_angularVelocity));
        transform.orientation = glm::normalize(turn * transform.orientation);
    }
    setTransform(transform);
}

PhysicsWorld::PhysicsWorld(std::string name)
    : m_name(std::move(name)),
      m_configuration(std::make_unique<btDefaultCollisionConfiguration>()),
      m_dispatcher(std::make_unique<btCollisionDispatcher>(m_configuration.get())),
      m_broadphase(std::make_unique<btDbvtBroadphase>()),
      m_collisionWorld(std::make_unique<btCollisionWorld>(m_dispatcher.get(), m_broadphase.get(),
                                                          m_configuration.get())),
      m_debugRenderer(std::make_unique<DebugRenderer>()) {
    // Room for far more contacts than a race makes at once, so updates do not allocate.
    constexpr std::size_t kPairs = 32;
    m_touching.reserve(kPairs);
    m_currentPairs.reserve(kPairs);
    m_previousPairs.reserve(kPairs);
    m_pairs.reserve(2 * kPairs);
    m_contactPoints.reserve(4 * kPairs);
}

PhysicsWorld::~PhysicsWorld() {
    // Bodies leave the collision world before it goes.
    m_bodies.clear();
}

RigidBody* PhysicsWorld::createRigidBody(const Transform& transform) {
    auto body = std::make_unique<RigidBody>(*this, transform);
    RigidBody* rigid = body.get();
    m_bodies.push_back(std::move(body));
    m_rigidBodies.push_back(rigid);
    return rigid;
}

CollisionBody* PhysicsWorld::createCollisionBody(const Transform& transform) {
    m_bodies.push_back(std::make_unique<CollisionBody>(*this, transform, false));
    return m_bodies.back().get();
}

void PhysicsWorld::destroyBody(CollisionBody* body) {
    const auto found = std::find_if(m_bodies.begin(), m_bodies.end(),
                                    [body](const auto& owned) { return owned.get() == body; });
    if (found == m_bodies.end()) {
        return;
    }
    std::erase(m_rigidBodies, body);
    forgetContactsOf(body);
    std::erase_if(m_currentPairs, [body](const BodyPair& pair) {
        return pair.first == body || pair.second == body;
    });
    m_bodies.erase(found);
}

void PhysicsWorld::forgetContactsOf(const CollisionBody* body) {
    std::erase_if(m_previousPairs, [body](const BodyPair& pair) {
        return pair.first == body || pair.second == body;
    });
}

void PhysicsWorld::update(float dt) {
    for (RigidBody* body : m_rigidBodies) {
        body->advance(dt);
    }
    m_collisionWorld->performDiscreteCollisionDetection();
    findTouchingPairs();
    reportContacts();
    if (m_debugRenderingEnabled) {
        m_debugRenderer->computeDebugRenderingPrimitives(*this);
    }
}

// Pairs of bodies with at least one contact point at negative distance, each pair once, in the
// order Bullet lists its manifolds. The contact points themselves are kept for the debug view.
void PhysicsWorld::findTouchingPairs() {
    std::vector<BodyPair>& touching = m_touching;
    touching.clear();
    m_contactPoints.clear();
    for (int m = 0; m < m_dispatcher->getNumManifolds(); ++m) {
        const btPersistentManifold* manifold = m_dispatcher->getManifoldByIndexInternal(m);
        auto* body1 = static_cast<CollisionBody*>(manifold->getBody0()->getUserPointer());
        auto* body2 = static_cast<CollisionBody*>(manifold->getBody1()->getUserPointer());
        bool touches = false;
        for (int p = 0; p < manifold->getNumContacts(); ++p) {
            const btManifoldPoint& point = manifold->getContactPoint(p);
            if (point.getDistance() < 0.0f) {
                touches = true;
                m_contactPoints.push_back(
                    {toGlm(point.getPositionWorldOnA()), toGlm(point.m_normalWorldOnB)});
            }
        }
        const BodyPair key = unordered(body1, body2);
        if (touches && std::none_of(touching.begin(), touching.end(), [&](const BodyPair& pair) {
                return unordered(pair.first, pair.second) == key;
            })) {
            touching.emplace_back(body1, body2);
        }
    }
}

void PhysicsWorld::reportContacts() {
    const auto contains = [](const std::vector<BodyPair>& pairs, const BodyPair& key) {
        return std::find(pairs.begin(), pairs.end(), key) != pairs.end();
    };
    m_pairs.clear();
    m_currentPairs.clear();
    for (const BodyPair& pair : m_touching) {
        const BodyPair key = unordered(pair.first, pair.second);
        m_currentPairs.push_back(key);
        const bool stays = contains(m_previousPairs, key);
        m_pairs.emplace_back(
            pair.first, pair.second,
            stays ? ContactPair::EventType::ContactStay : ContactPair::EventType::ContactStart);
    }
    for (const BodyPair& pair : m_previousPairs) {
        if (!contains(m_currentPairs, pair)) {
            m_pairs.emplace_back(pair.first, pair.second, ContactPair::EventType::ContactExit);
        }
    }
    std::swap(m_previousPairs, m_currentPairs);
    if (m_listener != nullptr && !m_pairs.empty()) {
        m_listener->onContact(CallbackData(m_pairs));
    }
}

PhysicsCommon::PhysicsCommon() = default;
PhysicsCommon::~PhysicsCommon() = default;

PhysicsWorld* PhysicsCommon::createPhysicsWorld(const std::string& name) {
    m_worlds.push_back(std::make_unique<PhysicsWorld>(name));
    return m_worlds.back().get();
}

void PhysicsCommon::destroyPhysicsWorld(PhysicsWorld* world) {
    std::erase_if(m_worlds, [world](const auto& owned) { return owned.get() == world; });
}

CollisionShape* PhysicsCommon::createSphereShape(float radius) {
    m_shapes.push_back(std::make_unique<CollisionShape>(std::make_unique<btSphereShape>(radius)));
    return m_shapes.back().get();
}

CollisionShape* PhysicsCommon::createBoxShape(const glm::vec3& halfExtents) {
    m_shapes.push_back(
        std::make_unique<CollisionShape>(std::make_unique<btBoxShape>(toBullet(halfExtents))));
    return m_shapes.back().get();
}

CollisionShape* PhysicsCommon::createCapsuleShape(float radius, float height) {
    m_shapes.push_back(
        std::make_unique<CollisionShape>(std::make_unique<btCapsuleShape>(radius, height)));
    return m_shapes.back().get();
}

}  // namespace kes
