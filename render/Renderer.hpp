// The renderer. A deferred frame runs its passes in order: shadow maps from each light, the
// G-buffer filled with the opaque nodes, translucent surfaces and the tube appended to the
// fragment lists, the sky and the lit surfaces composed into an HDR image, the post effects,
// the overlays and text, and the image mapped to the window. The basic quality level's frame
// is forward instead: the opaque nodes lit as drawn, the sky behind them, the tube and the
// translucent nodes blended over them, then the overlays, the text and the final mapping. Each pass
// is an object holding its own programs and targets (render/*Pass.hpp); what the passes share is
// the Frame. The renderer owns the passes, the frame and the scene graph; the game adds nodes,
// lights and the tube.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Viewport.hpp"
#include "render/Camera.hpp"
#include "physics/DebugShapes.hpp"
#include "render/FinalPass.hpp"
#include "render/ForwardPass.hpp"
#include "render/Frame.hpp"
#include "render/GeometryPass.hpp"
#include "render/GpuPassTimer.hpp"
#include "render/LightingPass.hpp"
#include "render/Lights.hpp"
#include "render/OverlayPass.hpp"
#include "render/PathMesh.hpp"
#include "render/PostProcess.hpp"
#include "render/Quality.hpp"
#include "render/SceneNode.hpp"
#include "render/ShadowPass.hpp"
#include "render/Sky.hpp"
#include "render/TransparencyPass.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

// Bits of the effect set handed to the constructor.
enum EffectBits : std::uint8_t { kEffectReflections = 1u << 0, kEffectBloom = 1u << 1 };

// What the renderer takes from its surroundings: the game passes the application's; tests
// pass their own.
struct RendererSetup {
    std::filesystem::path assetsFolder;
    float brightness = 1.0f;                        // the settings' value, read once
    float dpi = 96.0f;                              // sizes the text atlas
    const DebugShapeSource* debugShapes = nullptr;  // what the F1 overlay shows, if anything
    QualityLevel quality = QualityLevel::high;      // what the frame draws, at first
    float renderScale = 1.0f;  // the internal picture's size against the picture's, at first
};

class Renderer {
public:
    // A picture of `width` x `height` (the settings' size), drawn at the setup's quality and
    // render scale; `effectSet` says which post effects a level that has them may use.
    Renderer(const RendererSetup& setup, std::uint32_t width, std::uint32_t height,
             std::uint8_t effectSet);
    ~Renderer();
    Renderer(const Renderer&) = delete;
    Renderer& operator=(const Renderer&) = delete;

    // The node stays owned by the renderer; it follows the body from now on.
    SceneNode* addNode(NodeModels&& nodeModels, const TransformSource* body, float opacity);
    // Returns the light's index; its shadow map has the same number. At most ten lights: an
    // eleventh throws std::length_error.
    std::uint32_t addLight(const LightDesc& desc);
    // Light `index` (as addLight returned it) becomes `desc`, its shadow map following it.
    void setLight(std::uint32_t index, const LightDesc& desc);
    // Takes a node (and its children) out of the scene and frees it.
    void removeNode(SceneNode* node);
    void setPathMesh(std::unique_ptr<PathMesh> mesh);
    // Drawn over the next frame only.
    void addDebugArrow(const DebugArrow& arrow) { m_overlays.addArrow(arrow); }

    // After each fixed step: every node reads its body's new transform.
    void syncPhysics(float time);
    // After each frame, for the next: interpolates the scene, takes `appCamera` and uploads
    // the per-frame block.
    void prepareFrame(const Camera& appCamera, float frameDt, float time, float alpha);
    // Draws one frame and shows it in `framebuffer`: the render targets keep the size given to
    // the constructor; the finished picture is scaled to fill `viewport` (the window's whole
    // framebuffer) with its aspect kept, and black bars where the aspects differ. Afterwards
    // GL's fixed-function state is its initial one (PipelineState{}) and framebuffer 0 bound.
    void render(GLuint framebuffer, const Viewport* viewport);

    // Draws the frames from now on at `level`, the internal picture `scale` times the picture
    // (0.25 to 1): the render targets are made anew for a new size (a change costs one slow
    // frame; the governor makes at most one a second), the programs of a level the first time
    // it is drawn. Nothing changes when both are as they are.
    void setQuality(QualityLevel level, float scale);
    QualityLevel quality() const { return m_quality; }
    // The smallest scale the picture falls back to when its targets cannot be made.
    static constexpr float kSmallestFallbackScale = 0.125f;
    float renderScale() const { return m_scale; }
    // The internal picture's size; the picture's own is the constructor's.
    PictureSize internalSize() const;
    PictureSize pictureSize() const { return m_picture; }
    // The picture's brightness from the next frame (the settings' Brightness).
    void setBrightness(float brightness) { m_finalPass.setBrightness(brightness); }
    // The tube clears in front of the ring of the zone to touch next, at `centre` with
    // `radius` (0: nowhere).
    void setTubeHighlight(const glm::vec3& centre, float radius);

    // Light `light`'s projection x view, or nothing for an unknown kind.
    static std::optional<glm::mat4> computeLightMatrix(const LightRecord& light, float aspect,
                                                       float nearPlane, float farPlane,
                                                       const Camera& camera);

    // Text queued here is drawn over the next frame.
    TextRenderer& text() { return m_overlays.text(); }
    ScreenLines& screenLines() { return m_overlays.lines(); }
    // The view the next frame is drawn from, as prepareFrame uploaded it.
    const perFrameData& frameView() const { return m_frame->block.data; }
    // The colour around the scene where nothing is drawn.
    void setClearColor(const glm::vec3& color) { m_frame->hdr.clearColor = color; }
    const glm::vec3& clearColor() const { return m_frame->hdr.clearColor; }
    // The debug view of the shadow maps (F2), tiles along the top edge.
    void toggleShadowMapTiles() { m_overlays.toggleShadowMapTiles(); }
    // Not owned; when set, each pass of the frame is timed on the GPU.
    void setPassTimer(GpuPassTimer* timer) { m_frame->timer = timer; }
    GpuPassTimer* currentPassTimer() const { return m_frame->timer; }
    // The per-pixel fragment lists, for profiles of the pool's use; null at a level that keeps
    // none.
    const TransparencyBuffers* transparencyLists() const {
        return m_frame->lists ? &*m_frame->lists : nullptr;
    }

private:
    // Tests look inside through this seam (tests/support/RendererTestSeam.hpp).
    friend struct RendererTestSeam;

    // The passes that fill the HDR image: the deferred ones, or the forward one.
    void drawDeferred(Frame& frame);
    void drawForward(Frame& frame);
    // Each effect reads the image the one before it made; the last one's framebuffer stays
    // bound for the overlays. Returns the image the final pass shows.
    GLuint applyEffects();

    // A frame of the quality's internal size.
    std::unique_ptr<Frame> makeFrame() const;
    std::unique_ptr<Frame> makeFittingFrame();
    void makeFittingEffects();
    void shrinkAfterFailedTarget();
    // The frame made anew after a change of size or level, keeping what carries over.
    void remakeFrame();
    void makeEffects();

    // Members in construction order.
    std::filesystem::path m_assetsFolder;
    std::uint8_t m_effectSet;
    PictureSize m_picture;
    QualityLevel m_quality;
    float m_scale;
    std::unique_ptr<Frame> m_frame;
    SceneNode* m_sceneRoot = nullptr;  // the first node; owns the tree through its links
    ShadowPass m_shadowPass;
    Sky m_sky;
    GeometryPass m_geometryPass;
    ForwardPass m_forwardPass;
    TransparencyPass m_transparencyPass;
    LightingPass m_lightingPass;
    std::vector<std::unique_ptr<iPostProcessEffect>> m_effects;  // applied in this order
    OverlayPass m_overlays;
    FinalPass m_finalPass;
    Camera m_camera;
    std::vector<SceneNode*> m_opaqueNodes;
    std::vector<SceneNode*> m_translucentNodes;
};

}  // namespace kes
