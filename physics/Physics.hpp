// The game's physics types, with Bullet's collision detection behind them: bodies with
// colliders, kinematic rigid bodies moved by their velocity, shapes owned by the common object,
// and contact events (start, stay, exit) delivered to one listener inside the world update.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "physics/Transform.hpp"

class btCollisionObject;
class btCollisionShape;
class btCompoundShape;
class btCollisionWorld;
class btDbvtBroadphase;
class btCollisionDispatcher;
class btDefaultCollisionConfiguration;

namespace kes {

class DebugRenderer;
class PhysicsWorld;

// A collision shape, made and owned by the common object.
class CollisionShape {
public:
    explicit CollisionShape(std::unique_ptr<btCollisionShape> shape);
    ~CollisionShape();
    btCollisionShape* bullet() const { return m_shape.get(); }

private:
    std::unique_ptr<btCollisionShape> m_shape;
};

// A shape attached to a body at a local transform.
struct Collider {
    CollisionShape* shape;
    Transform localTransform;
};

// A body that collides but does not move by itself (the target zones). Scene nodes follow it.
class CollisionBody : public TransformSource {
public:
    CollisionBody(PhysicsWorld& world, const Transform& transform, bool kinematic);
    virtual ~CollisionBody();
    CollisionBody(const CollisionBody&) = delete;
    CollisionBody& operator=(const CollisionBody&) = delete;

    Transform getTransform() const override;
    void setTransform(const Transform& transform);
    // Puts the body somewhere by hand rather than by flight: its contacts start afresh, so a
    // body that lands inside another (the ship put back inside the start zone it never left)
    // is reported as starting to touch it at the next update.
    void teleport(const Transform& transform);
    // The body joins collision detection with its first collider.
    Collider* addCollider(CollisionShape* shape, const Transform& localTransform);
    const std::vector<std::unique_ptr<Collider>>& colliders() const { return m_colliders; }

    btCollisionObject* bullet() const { return m_object.get(); }

private:
    PhysicsWorld& m_world;
    std::unique_ptr<btCompoundShape> m_compound;
    std::unique_ptr<btCollisionObject> m_object;
    std::vector<std::unique_ptr<Collider>> m_colliders;
    bool m_kinematic;
    bool m_inWorld = false;
};

enum class BodyType { STATIC, KINEMATIC, DYNAMIC };

// A body the game moves by setting its velocity. Only kinematic bodies are used: they are
// advanced by their velocity and never pushed by anything, and gravity is ignored for them.
class RigidBody final : public CollisionBody {
public:
    RigidBody(PhysicsWorld& world, const Transform& transform);

    void setType(BodyType type) { m_type = type; }
    BodyType getType() const { return m_type; }
    void setLinearVelocity(const glm::vec3& velocity) { m_linearVelocity = velocity; }
    glm::vec3 getLinearVelocity() const { return m_linearVelocity; }
    void setAngularVelocity(const glm::vec3& velocity) { m_angularVelocity = velocity; }
    glm::vec3 getAngularVelocity() const { return m_angularVelocity; }
    void enableGravity(bool enabled) { m_gravityEnabled = enabled; }
    bool isGravityEnabled() const { return m_gravityEnabled; }
    void setIsAllowedToSleep(bool allowed) { m_allowedToSleep = allowed; }
    bool isAllowedToSleep() const { return m_allowedToSleep; }
    // Kinematic bodies are never put to sleep: they move whenever their velocity says so.
    bool isSleeping() const { return false; }

    // Moves the body by its velocities over dt seconds.
    void advance(float dt);

private:
    BodyType m_type = BodyType::DYNAMIC;
    glm::vec3 m_linearVelocity{0.0f};
    glm::vec3 m_angularVelocity{0.0f};
    bool m_gravityEnabled = true;
    bool m_allowedToSleep = true;
};

// One pair of touching bodies in a world update.
class ContactPair {
public:
    enum class EventType { ContactStart, ContactStay, ContactExit };

    ContactPair(CollisionBody* body1, CollisionBody* body2, EventType type)
        : m_body1(body1), m_body2(body2), m_type(type) {}
    CollisionBody* getBody1() const { return m_body1; }
    CollisionBody* getBody2() const { return m_body2; }
    EventType getEventType() const { return m_type; }

private:
    CollisionBody* m_body1;
    CollisionBody* m_body2;
    EventType m_type;
};

// The pairs of one update: those touching now (started or staying) and those that stopped.
class CallbackData {
public:
    explicit CallbackData(const std::vector<ContactPair>& pairs) : m_pairs(pairs) {}
    std::size_t getNbContactPairs() const { return m_pairs.size(); }
    const ContactPair& getContactPair(std::size_t index) const { return m_pairs[index]; }

private:
    const std::vector<ContactPair>& m_pairs;
};

class EventListener {
public:
    virtual ~EventListener() = default;
    // Called inside the world update when at least one pair started, stayed or ended.
    virtual void onContact(const CallbackData& data) = 0;
};

struct ContactPoint {
    glm::vec3 position;  // on the first body
    glm::vec3 normal;    // from the second body towards the first
};

class PhysicsWorld {
public:
    explicit PhysicsWorld(std::string name);
    ~PhysicsWorld();
    PhysicsWorld(const PhysicsWorld&) = delete;
    PhysicsWorld& operator=(const PhysicsWorld&) = delete;

    const std::string& getName() const { return m_name; }
    // The world owns every body it makes; bodies live as long as the world, or until destroyed.
    RigidBody* createRigidBody(const Transform& transform);
    CollisionBody* createCollisionBody(const Transform& transform);
    // Takes the body out of the world and frees it; its pairs of the last update are
    // forgotten, so no contact with it is reported. Unknown bodies are ignored.
    void destroyBody(CollisionBody* body);
    // Forgets the pairs `body` had in the last update: whatever it touches at the next one is
    // reported as a contact that starts.
    void forgetContactsOf(const CollisionBody* body);
    void setEventListener(EventListener* listener) { m_listener = listener; }

    // Kinematic bodies move by their velocity, then contacts are found and reported.
    void update(float dt);

    void setIsDebugRenderingEnabled(bool enabled) { m_debugRenderingEnabled = enabled; }
    bool getIsDebugRenderingEnabled() const { return m_debugRenderingEnabled; }
    DebugRenderer& getDebugRenderer() { return *m_debugRenderer; }

    // The touching points of the last update.
    const std::vector<ContactPoint>& contactPoints() const { return m_contactPoints; }

    btCollisionWorld& bullet() { return *m_collisionWorld; }

private:
    using BodyPair = std::pair<CollisionBody*, CollisionBody*>;

    void findTouchingPairs();
    void reportContacts();
    void drawDebugGeometry();

    std::string m_name;
    std::unique_ptr<btDefaultCollisionConfiguration> m_configuration;
    std::unique_ptr<btCollisionDispatcher> m_dispatcher;
    std::unique_ptr<btDbvtBroadphase> m_broadphase;
    std::unique_ptr<btCollisionWorld> m_collisionWorld;
    std::unique_ptr<DebugRenderer> m_debugRenderer;
    std::vector<std::unique_ptr<CollisionBody>> m_bodies;
    std::vector<RigidBody*> m_rigidBodies;
    EventListener* m_listener = nullptr;
    // Reused every update, so a step of the game allocates nothing once they have grown.
    std::vector<BodyPair> m_touching;
    std::vector<BodyPair> m_currentPairs;   // unordered pairs touching now
    std::vector<BodyPair> m_previousPairs;  // and in the update before
    std::vector<ContactPair> m_pairs;
    std::vector<ContactPoint> m_contactPoints;
    bool m_debugRenderingEnabled = false;
};

// Makes and owns collision shapes and worlds.
class PhysicsCommon {
public:
    PhysicsCommon();
    ~PhysicsCommon();
    PhysicsCommon(const PhysicsCommon&) = delete;
    PhysicsCommon& operator=(const PhysicsCommon&) = delete;

    PhysicsWorld* createPhysicsWorld(const std::string& name);
    void destroyPhysicsWorld(PhysicsWorld* world);

    CollisionShape* createSphereShape(float radius);
    CollisionShape* createBoxShape(const glm::vec3& halfExtents);
    // Along the local y axis; `height` is the distance between the two sphere centres.
    CollisionShape* createCapsuleShape(float radius, float height);

private:
    // Worlds are declared last so they go first: no body outlives a shape it uses.
    std::vector<std::unique_ptr<CollisionShape>> m_shapes;
    std::vector<std::unique_ptr<PhysicsWorld>> m_worlds;
};

}  // namespace kes
