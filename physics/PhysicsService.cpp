#include "physics/PhysicsService.hpp"

#include <stdexcept>

namespace kes {

using Item = DebugRenderer::DebugItem;

PhysicsService::PhysicsService() {
    world = common.createPhysicsWorld(kWorldName);
    if (world == nullptr) {
        throw std::runtime_error("kes::PhysicsService::createPhysicsWorld - Failed: \"world\"");
    }
    debugRenderer = &world->getDebugRenderer();
    debugRenderingEnabled = false;
    world->setIsDebugRenderingEnabled(false);
    debugRenderer->setIsDebugItemDisplayed(Item::CONTACT_POINT, true);
    debugRenderer->setIsDebugItemDisplayed(Item::CONTACT_NORMAL, true);
    debugRenderer->setIsDebugItemDisplayed(Item::COLLISION_SHAPE, false);
}

PhysicsService::~PhysicsService() {
    if (world != nullptr) {
        common.destroyPhysicsWorld(world);
        world = nullptr;
    }
}

RigidBody* PhysicsService::createRigidBody(const glm::vec3& position, const glm::vec3& eulerAngles,
                                           const glm::vec3& velocity) {
    // Rotation about x, then y, then z, about the fixed axes.
    RigidBody* body = world->createRigidBody({position, glm::quat(eulerAngles)});
    body->setType(BodyType::KINEMATIC);
    body->setLinearVelocity(velocity);
    body->enableGravity(false);
    body->setIsAllowedToSleep(false);
    return body;
}

bool PhysicsService::getDebugGeometry(std::vector<VertexPosColor>& lines,
                                      std::vector<VertexPosColor>& triangles) const {
    if (!debugRenderingEnabled) {
        return false;
    }
    lines.clear();
    triangles.clear();
    lines.reserve(debugRenderer->getNbLines() * 2);
    for (const auto& line : debugRenderer->getLines()) {
        lines.push_back({line.point1, line.color1});
        lines.push_back({line.point2, line.color2});
    }
    if (debugRenderer->getNbTriangles() > 0) {
        triangles.reserve(debugRenderer->getNbTriangles() * 3);
        for (const auto& triangle : debugRenderer->getTriangles()) {
            triangles.push_back({triangle.point1, triangle.color1});
            triangles.push_back({triangle.point2, triangle.color2});
            triangles.push_back({triangle.point3, triangle.color3});
        }
    }
    return true;
}

void PhysicsService::toggleDebugRendering() {
    const bool enabled = !debugRenderingEnabled;
    world->setIsDebugRenderingEnabled(enabled);
    debugRenderer->setIsDebugItemDisplayed(Item::CONTACT_POINT, true);
    debugRenderer->setIsDebugItemDisplayed(Item::CONTACT_NORMAL, true);
    debugRenderer->setIsDebugItemDisplayed(Item::COLLISION_SHAPE, enabled);
    debugRenderingEnabled = enabled;
}

}  // namespace kes
