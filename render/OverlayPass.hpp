// The overlays: the debug views (the physics shapes with F1, arrows queued for the frame, the
// shadow maps with F2), drawn after every effect so they are neither bloomed nor reflected, into
// the last effect's image, which carries the scene's depth so debug shapes hide behind the
// scene; and the text, drawn over the finished picture in the window at the window's own size,
// so it stays sharp whatever size the scene was drawn at. Reads the per-frame block and the
// shadow maps.
#pragma once

#include <filesystem>
#include <functional>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "physics/DebugShapes.hpp"
#include "render/Frame.hpp"
#include "render/ScreenLines.hpp"
#include "render/ShadowPass.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

// An arrow drawn over the next frame, for looking at directions while debugging.
struct DebugArrow {
    glm::vec3 position;
    glm::vec3 direction;  // of unit length
    float scale;
    glm::vec4 color;
};
static_assert(sizeof(DebugArrow) == 44);

class OverlayPass {
public:
    // The text is drawn for `dpi`; the F1 view shows `debugShapes` (may be null).
    OverlayPass(const std::filesystem::path& assetsFolder, float dpi,
                const DebugShapeSource* debugShapes);

    // The debug views over the picture; the shadow maps' tiles from `shadows` (null: the
    // frame drew none).
    void draw(Frame& frame, const ShadowPass* shadows);
    // The queued lines and then the queued text over the finished picture in the bound
    // framebuffer, within `shown` (the part of the window the picture fills), their colours
    // mapped as the final pass maps light.
    void drawText(Frame& frame, const Viewport& shown,
                  const std::function<glm::vec3(const glm::vec3&)>& toDisplay);

    TextRenderer& text() { return m_text; }
    ScreenLines& lines() { return m_lines; }
    void addArrow(const DebugArrow& arrow) { m_arrows.push_back(arrow); }
    const std::vector<DebugArrow>& pendingArrows() const { return m_arrows; }
    void toggleShadowMapTiles() { m_showShadowMaps = !m_showShadowMaps; }

private:
    void drawPhysicsShapes(Frame& frame);
    void drawArrows(Frame& frame);
    void drawShadowMapTiles(Frame& frame, const ShadowPass* shadows);

    TextRenderer m_text;
    ScreenLines m_lines;
    const DebugShapeSource* m_debugShapes;  // not owned
    Program m_physicsShapes;
    GLint m_shapeAlphaLocation;
    Program m_arrow;
    struct ArrowLocations {
        GLint color, scale, transform;
    } m_arrowLocations;
    VAO m_arrowMesh;
    std::vector<DebugArrow> m_arrows;  // for this frame only
    Program m_shadowMapTile;
    GLint m_tileIndexLocation;
    SamplerName m_rawDepthSampler;  // reads the maps' depths without comparing
    bool m_showShadowMaps = false;
};

}  // namespace kes
