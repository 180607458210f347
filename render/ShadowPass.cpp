// The shadow pass: the depth of every shadow-casting node from each light into its layer of
// the shadow-map array; point lights are first aimed at the camera's surroundings.
#include "render/Renderer.hpp"

#include "gpu/GlState.hpp"

namespace kes {

void Renderer::renderShadowMaps() {
    reaimPointLights();
    glDepthFunc(GL_LESS);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_STENCIL_TEST);
    // Only back faces reach the maps: a lit surface is never compared with its own depth.
    glCullFace(GL_FRONT);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    const Viewport& tile = shadowMaps.viewport;
    glViewport(tile.x, tile.y, tile.width, tile.height);

    const shadowBuffer& block = shadows.data;
    for (std::uint32_t layer = 0; layer < block.count; ++layer) {
        glBindFramebuffer(GL_FRAMEBUFFER, shadowMaps.fbos[layer].id);
        glClearDepth(1.0);
        glClear(GL_DEPTH_BUFFER_BIT);

        UBO<perFrameData>& lightFrame = m_lightFrame;
        lightFrame.data = perFrameData{};
        lightFrame.data.viewProj = block.maps[layer].viewProj;
        lightFrame.data.viewProjInv = block.maps[layer].viewProjInv;
        lightFrame.data.camPos = frameData.data.camPos;
        lightFrame.data.time = frameData.data.time;
        lightFrame.data.deltaTime = frameData.data.deltaTime;
        lightFrame.data.width = lightFrame.data.height = shadowMaps::kSize;
        lightFrame.upload();
        forEachNode(sceneRoot,
                    [&lightFrame](SceneNode& node) { node.draw(lightFrame, kDrawShadow); });
    }
}

void Renderer::reaimPointLights() {
    const lightBuffer& block = lights.data;
    for (std::uint32_t i = 0; i < block.count; ++i) {
        const LightRecord& light = block.lights[i];
        if (light.castsShadow == 0 || light.type != kPointLight) {
            continue;
        }
        if (const auto matrix = computeLightMatrix(light, 1.0f, lightNear, lightFar, camera)) {
            shadows.data.maps[light.shadowMapIndex] = {*matrix, glm::inverse(*matrix)};
            flags |= kShadowsDirty;
        }
    }
}

}  // namespace kes
