#include "render/OverlayPass.hpp"

#include <algorithm>
#include <cmath>

#include "gpu/Bindings.hpp"
#include "gpu/MeshFile.hpp"

namespace kes {
namespace {

constexpr float kShapeAlpha = 0.25f;  // the collision shapes' opacity

// Depth-tested against the scene, never written: the shapes are seen through one another.
constexpr PipelineState kShapes = PipelineState{}
                                      .depth(GL_LESS, false)
                                      .culling(GL_BACK, GL_CW)
                                      .blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
constexpr PipelineState kShapesBackFaces = kShapes.culling(GL_FRONT, GL_CW);
constexpr PipelineState kArrows = PipelineState{}.depth(GL_LESS, true).culling(GL_BACK, GL_CW);
constexpr PipelineState kTiles = kArrows.blending(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

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

Program programOf(const std::filesystem::path& assetsFolder, const char* vertex,
                  const char* fragment, const char* name) {
    return Program(makeShaderPath(assetsFolder, vertex), makeShaderPath(assetsFolder, fragment),
                   name);
}

}  // namespace

OverlayPass::OverlayPass(const std::filesystem::path& assetsFolder, float dpi,
                         const DebugShapeSource* debugShapes)
    : m_text(assetsFolder, dpi),
      m_lines(assetsFolder),
      m_debugShapes(debugShapes),
      m_physicsShapes(
          programOf(assetsFolder, "debugPhysics_vs", "debugPhysics_ps", "debugPhysics")),
      m_shapeAlphaLocation(m_physicsShapes.uniformLocation("ALPHA")),
      m_arrow(programOf(assetsFolder, "debugArrow_vs", "debugArrow_ps", "debugArrow")),
      m_arrowLocations{m_arrow.uniformLocation("iColor"), m_arrow.uniformLocation("iScale"),
                       m_arrow.uniformLocation("iTransform")},
      m_arrowMesh(MeshReader(assetsFolder / "meshes" / "Arrow.KSX").readVAO()),
      m_shadowMapTile(programOf(assetsFolder, "renderFullscreenTri_vs", "debugShadowMaps_ps",
                                "debugShadowMaps")),
      m_tileIndexLocation(m_shadowMapTile.uniformLocation("shadowMapIndex")),
      m_rawDepthSampler(SamplerName::generate()) {
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

void OverlayPass::draw(Frame& frame, const ShadowPass* shadows) {
    frame.setViewport();
    drawPhysicsShapes(frame);
    drawArrows(frame);
    drawShadowMapTiles(frame, shadows);
}

void OverlayPass::drawText(Frame& frame, const Viewport& shown,
                           const std::function<glm::vec3(const glm::vec3&)>& toDisplay) {
    m_lines.draw(shown, frame.state, toDisplay);
    if (m_text.queued().empty() || shown.width <= 0 || shown.height <= 0) {
        m_text.clearQueue();
        return;
    }
    for (TextEntry& entry : m_text.queued()) {
        entry.color = toDisplay(entry.color);
    }
    glViewport(shown.x, shown.y, shown.width, shown.height);
    m_text.renderOverPicture(frame.block, frame.state,
                             static_cast<float>(shown.height) / static_cast<float>(shown.width));
}

// The collision shapes, translucent: back faces first, then front faces, then the lines.
void OverlayPass::drawPhysicsShapes(Frame& frame) {
    std::vector<VertexPosColor> lines;
    std::vector<VertexPosColor> triangles;
    if (m_debugShapes == nullptr || !m_debugShapes->getDebugGeometry(lines, triangles)) {
        return;
    }
    glUseProgram(m_physicsShapes.id);
    frame.block.bind();
    glUniform1f(m_shapeAlphaLocation, kShapeAlpha);
    if (!triangles.empty()) {
        const VAO shapes(triangles);
        frame.state.apply(kShapesBackFaces);
        shapes.draw(GL_TRIANGLES);
        frame.state.apply(kShapes);
        shapes.draw(GL_TRIANGLES);
    }
    if (!lines.empty()) {
        frame.state.apply(kShapes);
        const VAO edges(lines);
        edges.draw(GL_LINES);
    }
}

void OverlayPass::drawArrows(Frame& frame) {
    if (m_arrows.empty()) {
        return;
    }
    frame.state.apply(kArrows);
    for (const DebugArrow& arrow : m_arrows) {
        glm::mat4 transform = glm::mat4_cast(arrowOrientation(arrow.direction));
        transform[3] = glm::vec4(arrow.position, 1.0f);
        glUseProgram(m_arrow.id);
        frame.block.bind();
        glUniformMatrix4fv(m_arrowLocations.transform, 1, GL_FALSE, &transform[0][0]);
        glUniform4fv(m_arrowLocations.color, 1, &arrow.color[0]);
        glUniform1f(m_arrowLocations.scale, arrow.scale);
        m_arrowMesh.draw(GL_TRIANGLES);
    }
    m_arrows.clear();
}

// A row of tiles along the top edge, one per shadow map, while F2 has them shown (none where
// the frame drew no shadows: `shadows` null).
void OverlayPass::drawShadowMapTiles(Frame& frame, const ShadowPass* shadows) {
    const std::uint32_t count = frame.lights.shadows().count;
    if (count == 0 || !m_showShadowMaps || shadows == nullptr) {
        return;
    }
    frame.state.apply(kTiles);
    const auto width = static_cast<std::uint32_t>(frame.viewport.width);
    const auto height = static_cast<std::uint32_t>(frame.viewport.height);
    const std::uint32_t tile = std::min(width / count, height / 4);
    for (std::uint32_t i = 0; i < count; ++i) {
        glViewport(static_cast<GLint>(tile * i), static_cast<GLint>(height - tile),
                   static_cast<GLsizei>(tile), static_cast<GLsizei>(tile));
        glUseProgram(m_shadowMapTile.id);
        glActiveTexture(GL_TEXTURE0 + unit::kImage);
        glBindTexture(GL_TEXTURE_2D_ARRAY, shadows->mapArray());
        glBindSampler(unit::kImage, m_rawDepthSampler);
        glUniform1i(m_tileIndexLocation, static_cast<GLint>(i));
        glBindVertexArray(frame.fullscreen.id);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        glBindSampler(unit::kImage, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    }
}

}  // namespace kes
