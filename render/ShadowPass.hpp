// The shadow pass: the depth of every shadow-casting node from each light into its layer of the
// shadow-map array. A point light is first aimed at the camera's surroundings, so the ground
// around the player is always covered. Reads the scene and the lights; writes the array, which
// the transparency and lighting passes sample through shadow samplers. The maps (40 MiB) are
// made when first drawn: a frame that draws no shadows never makes them.
#pragma once

#include <optional>

#include <GL/glew.h>

#include "gpu/Framebuffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "render/Camera.hpp"
#include "render/Frame.hpp"
#include "render/SceneNode.hpp"

namespace kes {

class ShadowPass {
public:
    static constexpr float kNear = 1.25f;   // units: the light matrices' near plane
    static constexpr float kFar = 1000.0f;  // units: and far plane

    void draw(Frame& frame, SceneNode* root, const Camera& camera);
    // The maps on `unit`, their matrices on their block.
    void bind(Frame& frame, GLuint unit) const;
    static void unbind(GLuint unit);
    // 0 until the maps are first drawn.
    GLuint mapArray() const { return m_maps ? GLuint(m_maps->textureArrayId) : 0; }

private:
    void reaimPointLights(Frame& frame, const Camera& camera) const;

    std::optional<kes::shadowMaps> m_maps;
    // The per-frame block as each light sees it.
    UBO<perFrameData> m_lightFrame{binding::kPerFrame};
};

}  // namespace kes
