// The game's one gateway to physics: the common object that owns shapes and the world, the
// world itself, the kind of rigid body every moving object of the game is, and the debug
// geometry the renderer draws on request (F1).
#pragma once

#include <vector>

#include "physics/DebugRenderer.hpp"
#include "physics/Physics.hpp"
#include "gpu/Vertex.hpp"
#include "physics/DebugShapes.hpp"

namespace kes {

class PhysicsService final : public DebugShapeSource {
public:
    static constexpr const char* kWorldName = "Physics_Driftline_2021";

    PhysicsService();
    ~PhysicsService();
    PhysicsService(const PhysicsService&) = delete;
    PhysicsService& operator=(const PhysicsService&) = delete;

    // A kinematic body at `position` turned by the Euler angles (radians about x, y, z),
    // moving with `velocity`, without gravity and never asleep. It has no collider yet.
    RigidBody* createRigidBody(const glm::vec3& position, const glm::vec3& eulerAngles,
                               const glm::vec3& velocity);

    // The last update's debug lines and triangles; false, with the lists untouched, while
    // debug rendering is off.
    bool getDebugGeometry(std::vector<VertexPosColor>& lines,
                          std::vector<VertexPosColor>& triangles) const override;
    void toggleDebugRendering();

    PhysicsCommon common;
    PhysicsWorld* world = nullptr;
    DebugRenderer* debugRenderer = nullptr;  // the world's
    bool debugRenderingEnabled = false;
};

}  // namespace kes
