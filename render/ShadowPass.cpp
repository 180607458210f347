#include "render/ShadowPass.hpp"

#include "render/ViewFrustum.hpp"

namespace kes {
namespace {

// Only back faces reach the maps: a lit surface is never compared with its own depth.
constexpr PipelineState kCasterDepth =
    PipelineState{}.depth(GL_LESS, true).culling(GL_FRONT, GL_CW);

}  // namespace

void ShadowPass::draw(Frame& frame, SceneNode* root, const Camera& camera) {
    if (!m_maps) {
        m_maps.emplace();
    }
    reaimPointLights(frame, camera);
    frame.state.apply(kCasterDepth);
    const Viewport& tile = m_maps->viewport;
    glViewport(tile.x, tile.y, tile.width, tile.height);

    const shadowBuffer& block = frame.lights.shadows();
    const perFrameData& eye = frame.block.data;
    for (std::uint32_t layer = 0; layer < block.count; ++layer) {
        glBindFramebuffer(GL_FRAMEBUFFER, m_maps->fbos[layer].id);
        glClearDepth(1.0);
        glClear(GL_DEPTH_BUFFER_BIT);

        perFrameData& light = m_lightFrame.data;
        light = perFrameData{};
        light.viewProj = block.maps[layer].viewProj;
        light.viewProjInv = block.maps[layer].viewProjInv;
        light.camPos = eye.camPos;
        light.time = eye.time;
        light.deltaTime = eye.deltaTime;
        light.width = light.height = shadowMaps::kSize;
        m_lightFrame.upload();
        const ViewFrustum lightView(light.viewProj);
        forEachNode(root,
                    [&](SceneNode& node) { node.draw(m_lightFrame, kDrawShadow, &lightView); });
    }
}

void ShadowPass::reaimPointLights(Frame& frame, const Camera& camera) const {
    const lightBuffer& block = frame.lights.lights();
    for (std::uint32_t i = 0; i < block.count; ++i) {
        const LightRecord& light = block.lights[i];
        if (light.castsShadow == 0 || light.type != kPointLight) {
            continue;
        }
        if (const auto matrix = computeLightMatrix(light, 1.0f, kNear, kFar, camera)) {
            frame.lights.setShadowMatrix(light.shadowMapIndex, *matrix);
        }
    }
}

void ShadowPass::bind(Frame& frame, GLuint unit) const {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D_ARRAY, mapArray());
    frame.lights.bindShadows();
}

void ShadowPass::unbind(GLuint unit) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

}  // namespace kes
