// The overlays: the debug views (physics shapes, arrows, shadow-map tiles) and the text, drawn
// after every effect so they are neither bloomed nor reflected.
#include "render/Renderer.hpp"

#include <cmath>
#include <vector>

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

namespace {

// The arrow's turn from +z to its direction, by the debug view's own formula.
glm::quat arrowOrientation(const glm::vec3& direction) {
    const double c = direction.z;
    if (c > 0.9999) {
        return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    }
    if (c < -0.9999) {
        return glm::quat(static_cast<float>(std::cos(1.5707963267948966)), 0.0f, -1.0f, 0.0f);
    }
    return glm::normalize(
        glm::quat(std::sqrt(direction.z + 1.0f), -direction.y, -direction.x, 0.0f));
}

}  // namespace

// Debug views and text, after every effect: they are neither bloomed nor reflected. The
// target carries the scene's depth, so debug shapes hide behind scene geometry.
void Renderer::drawOverlays() {
    glViewport(mainViewport.x, mainViewport.y, mainViewport.width, mainViewport.height);
    CapabilityGuard depthTest(GL_DEPTH_TEST, true);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, false);
    {
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        CapabilityGuard blend(GL_BLEND, true);
        DepthMaskGuard beforeDebug(GL_FALSE);
        drawPhysicsDebug();
        DepthMaskGuard beforeArrows(GL_TRUE);
        drawDebugArrows();
        drawShadowMapTiles();
    }
    glViewport(mainViewport.x, mainViewport.y, mainViewport.width, mainViewport.height);
    textRenderer.render(frameData);
}

// The collision shapes, translucent: back faces first, then front faces, then the lines.
void Renderer::drawPhysicsDebug() {
    std::vector<VertexPosColor> lines;
    std::vector<VertexPosColor> triangles;
    if (debugShapes == nullptr || !debugShapes->getDebugGeometry(lines, triangles)) {
        return;
    }
    glUseProgram(progDebugPhysics.id);
    frameData.bind();
    glUniform1f(debugPhysicsAlphaLocation, debugPhysicsAlpha);
    if (!triangles.empty()) {
        CapabilityGuard culling(GL_CULL_FACE, true);
        const VAO shapes(triangles);
        glCullFace(GL_FRONT);
        shapes.draw(GL_TRIANGLES);
        glCullFace(GL_BACK);
        shapes.draw(GL_TRIANGLES);
    }
    if (!lines.empty()) {
        const VAO edges(lines);
        edges.draw(GL_LINES);
    }
}

void Renderer::drawDebugArrows() {
    if (debugArrows.empty()) {
        return;
    }
    CapabilityGuard blend(GL_BLEND, false);
    for (const DebugArrow& arrow : debugArrows) {
        glm::mat4 transform = glm::mat4_cast(arrowOrientation(arrow.direction));
        transform[3] = glm::vec4(arrow.position, 1.0f);
        glUseProgram(progDebugArrow.id);
        frameData.bind();
        glUniformMatrix4fv(arrowLocations.transform, 1, GL_FALSE, &transform[0][0]);
        glUniform4fv(arrowLocations.color, 1, &arrow.color[0]);
        glUniform1f(arrowLocations.scale, arrow.scale);
        arrowMesh.draw(GL_TRIANGLES);
    }
    debugArrows.clear();
}

// A row of tiles along the top edge, one per shadow map, while F2 has them shown.
void Renderer::drawShadowMapTiles() {
    const std::uint32_t count = shadows.data.count;
    if (count == 0 || (flags & kShowShadowMaps) == 0) {
        return;
    }
    const std::uint32_t tile = std::min(mainSize[0] / count, mainSize[1] / 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        glViewport(static_cast<GLint>(tile * i), static_cast<GLint>(mainSize[1] - tile),
                   static_cast<GLsizei>(tile), static_cast<GLsizei>(tile));
        glUseProgram(progDebugShadowMaps.id);
        glActiveTexture(GL_TEXTURE0 + unit::kImage);
        glBindTexture(GL_TEXTURE_2D_ARRAY, shadowMaps.textureArrayId);
        glBindSampler(unit::kImage, m_rawDepthSampler);
        glUniform1i(shadowMapIndexLocation, static_cast<GLint>(i));
        glBindVertexArray(fullscreenVAO.id);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glBindSampler(unit::kImage, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    }
}

}  // namespace kes
