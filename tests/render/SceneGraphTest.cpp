// The scene graph without a GL context: linking, visiting order, interpolation, the split into
// opaque and translucent nodes, and the generated sphere's geometry.
#include "render/SceneNode.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>
#include <glm/gtc/quaternion.hpp>

#include "physics/Physics.hpp"
#include "render/Model.hpp"

namespace kes {
namespace {

class SceneGraphTest : public testing::Test {
protected:
    ~SceneGraphTest() override { destroyScene(root); }

    SceneNode* add(float opacity, const glm::vec3& position = glm::vec3(0.0f)) {
        RigidBody* body = world.createRigidBody({position, glm::quat(1, 0, 0, 0)});
        lastBody = body;
        auto* node =
            new SceneNode(nullptr, NodeModels{"n", {nullptr}, {glm::mat4(1.0f)}}, body, opacity);
        linkNode(root, node);
        return node;
    }

    std::vector<SceneNode*> visitingOrder() {
        std::vector<SceneNode*> order;
        forEachNode(root, [&](SceneNode& node) { order.push_back(&node); });
        return order;
    }

    PhysicsWorld world{"scene graph test"};
    SceneNode* root = nullptr;
    RigidBody* lastBody = nullptr;  // the body of the node added last
};

TEST_F(SceneGraphTest, TheFirstNodeIsVisitedLastAndTheOthersInInsertionOrder) {
    EXPECT_TRUE(visitingOrder().empty());
    SceneNode* n1 = add(1.0f);
    SceneNode* n2 = add(1.0f);
    SceneNode* n3 = add(1.0f);
    EXPECT_EQ(root, n1);
    EXPECT_EQ(n3->prevSibling, n2);
    EXPECT_EQ(visitingOrder(), (std::vector<SceneNode*>{n2, n3, n1}));

    std::vector<SceneNode*> opaque, transparent;
    collectNodes(root, opaque, transparent);
    EXPECT_EQ(opaque, (std::vector<SceneNode*>{n2, n3, n1}));
    EXPECT_TRUE(transparent.empty());
}

TEST_F(SceneGraphTest, ChildrenComeBeforeTheirParentAndGoWithIt) {
    SceneNode* n1 = add(1.0f);
    SceneNode* n2 = add(1.0f);
    RigidBody* body = world.createRigidBody({});
    auto* child = new SceneNode(nullptr, NodeModels{"c", {nullptr}, {glm::mat4(1.0f)}}, body, 1.0f);
    child->parent = n2;
    n2->firstChild = child;
    EXPECT_EQ(visitingOrder(), (std::vector<SceneNode*>{child, n2, n1}));

    destroyNode(n2);  // takes the child along and closes the gap
    EXPECT_EQ(n1->nextSibling, nullptr);
    EXPECT_EQ(visitingOrder(), (std::vector<SceneNode*>{n1}));
}

TEST_F(SceneGraphTest, NodesCloseToFullOpacityCountAsOpaque) {
    SceneNode* nearlyOne = add(0.99995f);
    SceneNode* below = add(0.9999f);
    SceneNode* above = add(1.0001f);
    SceneNode* half = add(0.5f);
    std::vector<SceneNode*> opaque, transparent;
    collectNodes(root, opaque, transparent);
    EXPECT_EQ(opaque, (std::vector<SceneNode*>{nearlyOne}));
    EXPECT_EQ(transparent, (std::vector<SceneNode*>{below, above, half}));
}

TEST_F(SceneGraphTest, RenderTransformRunsFromThePreviousToTheCurrentStep) {
    SceneNode* node = add(1.0f, {1, 2, 3});
    EXPECT_EQ(node->previous.position, glm::vec3(1, 2, 3));
    EXPECT_EQ(node->render.position, glm::vec3(1, 2, 3));

    const glm::quat turned = glm::angleAxis(1.0f, glm::vec3(0, 1, 0));
    lastBody->setTransform({{11, 2, 3}, turned});
    node->syncPhysics();

    node->interpolate(0.0f);
    EXPECT_EQ(node->render.position, glm::vec3(1, 2, 3));
    EXPECT_NEAR(glm::angle(node->render.orientation), 0.0f, 1e-3f);
    node->interpolate(1.0f);
    EXPECT_EQ(node->render.position, glm::vec3(11, 2, 3));
    EXPECT_NEAR(glm::angle(node->render.orientation), 1.0f, 1e-3f);
    node->interpolate(0.5f);
    EXPECT_NEAR(node->render.position.x, 6.0f, 1e-5f);
    EXPECT_NEAR(glm::angle(node->render.orientation), 0.5f, 1e-3f);

    // The world matrix places the model at the rendered transform.
    const glm::vec4 origin = node->getWorldMatrix() * glm::vec4(0, 0, 0, 1);
    EXPECT_NEAR(origin.x, 6.0f, 1e-5f);
    EXPECT_NEAR(origin.z, 3.0f, 1e-5f);
}

TEST(SphereTest, HasItsCountsPolesAndRings) {
    std::vector<VertexPosNormalUV> vertices;
    std::vector<std::uint16_t> indices;
    makeSphere(45.0f, vertices, indices);
    ASSERT_EQ(vertices.size(), 65'282u);
    ASSERT_EQ(indices.size(), 391'680u);
    EXPECT_EQ(*std::max_element(indices.begin(), indices.end()), 65'281);

    EXPECT_EQ(vertices[65'281].position, glm::vec3(0, 45, 0));
    EXPECT_EQ(vertices[65'280].position, glm::vec3(0, -45, 0));
    EXPECT_EQ(vertices[65'281].uv, glm::vec2(0.5f, 1.0f));
    EXPECT_NEAR(vertices[0].position.y, 45.0f * std::cos(std::numbers::pi_v<float> / 256.0f),
                1e-4f);
    for (std::size_t i : {std::size_t{0}, std::size_t{1000}, std::size_t{40'000}}) {
        EXPECT_NEAR(glm::length(vertices[i].position), 45.0f, 1e-3f);
        EXPECT_NEAR(glm::dot(vertices[i].normal, glm::normalize(vertices[i].position)), 1.0f,
                    1e-5f);
    }
    // The caps close on the poles.
    EXPECT_EQ(indices[indices.size() - 256 * 3 - 2], 65'281);
    EXPECT_EQ(indices[indices.size() - 3], 65'280);
}

TEST(SphereTest, TrianglesAreWoundClockwiseSeenFromOutside) {
    std::vector<VertexPosNormalUV> vertices;
    std::vector<std::uint16_t> indices;
    makeSphere(1.0f, vertices, indices);
    int outward = 0;
    for (std::size_t t = 0; t < indices.size(); t += 3) {
        const glm::vec3 a = vertices[indices[t]].position;
        const glm::vec3 b = vertices[indices[t + 1]].position;
        const glm::vec3 c = vertices[indices[t + 2]].position;
        // Clockwise from outside: the right-hand normal points inwards.
        if (glm::dot(glm::cross(b - a, c - a), a + b + c) < 0.0f) {
            ++outward;
        }
    }
    EXPECT_EQ(outward, static_cast<int>(indices.size() / 3));
}

}  // namespace
}  // namespace kes
