// What the renderer's tests may look at inside it: the scene's root, the camera it last took,
// the light block's buffer and the debug arrows waiting for the next frame. Nothing else
// reaches the renderer's members.
#pragma once

#include <vector>

#include "render/Renderer.hpp"

namespace kes {

struct RendererTestSeam {
    static const SceneNode* sceneRoot(const Renderer& r) { return r.m_sceneRoot; }
    static const Camera& camera(const Renderer& r) { return r.m_camera; }
    static GLuint lightBlock(const Renderer& r) { return r.m_frame->lights.lightBlockId(); }
    static const std::vector<DebugArrow>& debugArrows(const Renderer& r) {
        return r.m_overlays.pendingArrows();
    }
};

}  // namespace kes
