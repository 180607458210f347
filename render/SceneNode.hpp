// The drawables of the scene: each node ties one body (in the game, a physics body) to its models.
// A node keeps the body's transform of the last two fixed steps and draws an interpolation of them,
// so the picture moves smoothly although physics advances in steps of 1/60 s.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "physics/Transform.hpp"

namespace kes {

class Model;
class Renderer;
class ViewFrustum;

// kDrawTransparentBlended: a translucent surface written with its opacity for blending, where
// the quality level keeps no fragment lists. kDrawForward: lit as drawn and written with its
// opacity (the basic level's one pass, opaque and translucent alike).
enum DrawMode : std::uint8_t {
    kDrawGeometry = 0,
    kDrawTransparent = 1,
    kDrawShadow = 2,
    kDrawTransparentBlended = 3,
    kDrawForward = 4
};

// Nodes whose opacity is this close to 1 are drawn with the opaque geometry.
inline constexpr float kOpacityThreshold = 0.0001f;

// What a node is made from. The node takes both lists; the name is the caller's label only.
struct NodeModels {
    std::string name;
    std::vector<Model*> models;              // not owned; at least one
    std::vector<glm::mat4> modelTransforms;  // one per model, its placement in node space
};

// translation(position) x rotation(orientation).
glm::mat4 transformMatrix(const Transform& transform);

struct SceneNode {
    // The node follows `body`, which must outlive it.
    SceneNode(Renderer* owner, NodeModels&& nodeModels, const TransformSource* body,
              float opacity_);

    // Reads the body's transform of this step; the one before becomes `previous`.
    void syncPhysics();
    // Takes the body's transform as it is now for `previous`, `current` and `render` alike: a
    // body put somewhere by hand is drawn there at once, not slid there from where it was.
    void jumpToBody();
    // `render` between `previous` (alpha 0) and `current` (alpha 1).
    void interpolate(float alpha);
    // Parent's world matrix x the matrix of `render`, computed afresh on every call.
    glm::mat4 getWorldMatrix();
    // Draws every model; the first at the node, the others relative to the first. With a
    // `view`, a model of known extent that lies wholly outside it is left out.
    void draw(const UBO<perFrameData>& frameData, DrawMode mode, const ViewFrustum* view = nullptr);
    bool isOpaque() const;

    Renderer* renderer;
    float opacity;
    float scale = 1.0f;  // handed to the material shaders as "iScale"
    bool castsShadow = true;
    bool visible = true;  // a hidden node is neither drawn nor casts a shadow
    SceneNode* parent = nullptr;
    SceneNode* prevSibling = nullptr;
    SceneNode* nextSibling = nullptr;
    SceneNode* firstChild = nullptr;
    std::vector<Model*> models;
    std::vector<glm::mat4> modelTransforms;
    const TransformSource* body;  // not owned
    Transform previous;
    Transform current;
    Transform render;  // what is drawn; the controllers read it too
    glm::mat4 localMatrix;
    glm::mat4 worldMatrix;
};

// Appends `node` at the end of the root's sibling list, or makes it the root.
void linkNode(SceneNode*& root, SceneNode* node);

// Unlinks the node and frees it with all its children.
void destroyNode(SceneNode* node);

// Frees the whole tree: the root's following siblings one by one, then the root.
void destroyScene(SceneNode*& root);

// Visits every node: a node comes after its first child's subtree, and a node's following
// siblings come before the node itself. In a flat list the root therefore comes last.
template <typename Visit>
void forEachNode(SceneNode* node, Visit&& visit) {
    if (node == nullptr) {
        return;
    }
    forEachNode(node->firstChild, visit);
    for (SceneNode* sibling = node->nextSibling; sibling != nullptr;
         sibling = sibling->nextSibling) {
        forEachNode(sibling->firstChild, visit);
        visit(*sibling);
    }
    visit(*node);
}

// Sorts the scene into the nodes drawn with the opaque geometry and the translucent ones, in
// visiting order.
void collectNodes(SceneNode* root, std::vector<SceneNode*>& opaque,
                  std::vector<SceneNode*>& transparent);

}  // namespace kes
