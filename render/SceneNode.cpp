#include "render/SceneNode.hpp"

#include <cmath>
#include <utility>

#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/quaternion.hpp>

#include "render/Model.hpp"
#include "render/ViewFrustum.hpp"

namespace kes {

glm::mat4 transformMatrix(const Transform& transform) {
    return glm::translate(glm::mat4(1.0f), transform.position) *
           glm::mat4_cast(transform.orientation);
}

SceneNode::SceneNode(Renderer* owner, NodeModels&& nodeModels, const TransformSource* body_,
                     float opacity_)
    : renderer(owner),
      opacity(opacity_),
      models(std::move(nodeModels.models)),
      modelTransforms(std::move(nodeModels.modelTransforms)),
      body(body_) {
    nodeModels.models.clear();
    nodeModels.modelTransforms.clear();
    previous = current = render = body->getTransform();
    localMatrix = worldMatrix = transformMatrix(render);
}

void SceneNode::syncPhysics() {
    previous = current;
    current = body->getTransform();
}

void SceneNode::jumpToBody() {
    previous = current = render = body->getTransform();
}

void SceneNode::interpolate(float alpha) {
    render.position = previous.position * (1.0f - alpha) + current.position * alpha;
    render.orientation = glm::slerp(previous.orientation, current.orientation, alpha);
}

glm::mat4 SceneNode::getWorldMatrix() {
    localMatrix = transformMatrix(render);
    const glm::mat4 parentMatrix = parent != nullptr ? parent->getWorldMatrix() : glm::mat4(1.0f);
    worldMatrix = parentMatrix * localMatrix;
    return worldMatrix;
}

void SceneNode::draw(const UBO<perFrameData>& frameData, DrawMode mode, const ViewFrustum* view) {
    const glm::mat4 world = getWorldMatrix();
    if (!visible || (mode == kDrawShadow && !castsShadow)) {
        return;
    }
    const glm::mat4 first = world * modelTransforms[0];
    const auto drawModel = [&](const Model& model, const glm::mat4& placed) {
        if (view != nullptr && model.boundingRadius) {
            const BoundingSphere bound = placedSphere(placed, *model.boundingRadius * scale);
            if (view->excludes(bound.centre, bound.radius)) {
                return;
            }
        }
        model.draw(placed, frameData, mode, opacity, scale);
    };
    drawModel(*models[0], first);
    for (std::size_t i = 1; i < models.size(); ++i) {
        drawModel(*models[i], first * modelTransforms[i]);
    }
}

bool SceneNode::isOpaque() const {
    return std::fabs(opacity - 1.0f) < kOpacityThreshold;
}

void linkNode(SceneNode*& root, SceneNode* node) {
    if (root == nullptr) {
        root = node;
        return;
    }
    SceneNode* last = root;
    while (last->nextSibling != nullptr) {
        last = last->nextSibling;
    }
    last->nextSibling = node;
    node->prevSibling = last;
    node->parent = last->parent;
}

void destroyNode(SceneNode* node) {
    if (node->parent != nullptr && node->parent->firstChild == node) {
        node->parent->firstChild = node->nextSibling;
    }
    if (node->prevSibling != nullptr) {
        node->prevSibling->nextSibling = node->nextSibling;
    }
    if (node->nextSibling != nullptr) {
        node->nextSibling->prevSibling = node->prevSibling;
    }
    while (node->firstChild != nullptr) {
        destroyNode(node->firstChild);  // unlinks itself, so the next child moves up
    }
    delete node;
}

void destroyScene(SceneNode*& root) {
    if (root == nullptr) {
        return;
    }
    while (root->nextSibling != nullptr) {
        destroyNode(root->nextSibling);
    }
    destroyNode(root);
    root = nullptr;
}

void collectNodes(SceneNode* root, std::vector<SceneNode*>& opaque,
                  std::vector<SceneNode*>& transparent) {
    forEachNode(root, [&](SceneNode& node) {
        if (node.visible) {
            (node.isOpaque() ? opaque : transparent).push_back(&node);
        }
    });
}

}  // namespace kes
