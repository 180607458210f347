// What the renderer's tests may look at inside it: the scene's root, the per-frame block and
// camera, the dirty flags, the light block and the pending debug arrows. Nothing else reaches
// the renderer's members.
#pragma once

#include <cstdint>
#include <vector>

#include "render/Renderer.hpp"

namespace kes {

struct RendererTestSeam {
    static const SceneNode* sceneRoot(const Renderer& r) { return r.sceneRoot; }
    static const Camera& camera(const Renderer& r) { return r.camera; }
    static std::uint8_t flags(const Renderer& r) { return r.flags; }
    static GLuint lightBlock(const Renderer& r) { return r.lights.id; }
    static const std::vector<DebugArrow>& debugArrows(const Renderer& r) { return r.debugArrows; }
    static void bindLights(Renderer& r) { r.bindLights(); }
    static void bindShadows(Renderer& r, GLuint textureUnit) { r.bindShadows(textureUnit); }
};

}  // namespace kes
