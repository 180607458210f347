// The deferred renderer. A frame draws shadow maps from each light, fills the G-buffer with
// the opaque nodes, lights it into an HDR image over the skybox, runs the post effects, draws
// overlays and text, and maps the image to the screen. The renderer owns every GPU resource of
// the frame and the scene graph; the game layer adds nodes, lights and the path mesh.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Bindings.hpp"
#include "gpu/Buffers.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "gpu/TransparencyBuffers.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "gpu/Viewport.hpp"
#include "render/Camera.hpp"
#include "render/DebugShapes.hpp"
#include "render/GpuPassTimer.hpp"
#include "render/Lights.hpp"
#include "render/PathMesh.hpp"
#include "render/PostProcess.hpp"
#include "render/SceneNode.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

// Bits of the effect set handed to the constructor.
enum EffectBits : std::uint8_t { kEffectReflections = 1u << 0, kEffectBloom = 1u << 1 };

// Bits of Renderer::flags.
enum RendererFlags : std::uint8_t {
    kShowShadowMaps = 1u << 0,
    kLightsDirty = 1u << 1,
    kShadowsDirty = 1u << 2,
    kEnableBrightness = 1u << 3,
    kEnableExposure = 1u << 4,
};

// What the renderer takes from its surroundings: the game passes the application's; tests
// pass their own.
struct RendererSetup {
    std::filesystem::path assetsFolder;
    float brightness = 1.0f;                        // the settings' value, read once
    float dpi = 96.0f;                              // sizes the text atlas
    const DebugShapeSource* debugShapes = nullptr;  // what the F1 overlay shows, if anything
};

// An arrow drawn over the next frame, for looking at directions while debugging.
struct DebugArrow {
    glm::vec3 position;
    glm::vec3 direction;  // of unit length
    float scale;
    glm::vec4 color;
};
static_assert(sizeof(DebugArrow) == 44);

// Where a picture of width x height goes in `window`: as large as fits with its aspect kept,
// centred, the rest left for black bars.
Viewport letterbox(std::uint32_t width, std::uint32_t height, const Viewport& window);

class Renderer {
public:
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
    void setPathMesh(std::unique_ptr<PathMesh> mesh);
    // Drawn over the next frame only.
    void addDebugArrow(const DebugArrow& arrow);

    // After each fixed step: every node reads its body's new transform.
    void syncPhysics(float time);
    // After each frame, for the next: interpolates the scene, takes `appCamera` and uploads
    // the per-frame block.
    void prepareFrame(const Camera& appCamera, float frameDt, float time, float alpha);
    // Draws one frame and shows it in `framebuffer`: the render targets keep the size given to
    // the constructor; the finished picture is scaled to fill `viewport` (the window's whole
    // framebuffer) with its aspect kept, and black bars where the aspects differ.
    void render(GLuint framebuffer, const Viewport* viewport);

    // Light `light`'s projection x view, or nothing for an unknown kind.
    static std::optional<glm::mat4> computeLightMatrix(const LightRecord& light, float aspect,
                                                       float nearPlane, float farPlane,
                                                       const Camera& camera);

    // Text queued here is drawn over the next frame.
    TextRenderer& text() { return textRenderer; }
    // The view the next frame is drawn from, as prepareFrame uploaded it.
    const perFrameData& frameView() const { return frameData.data; }
    // The colour around the scene where nothing is drawn.
    void setClearColor(const glm::vec3& color) { finalFramebuffer.clearColor = color; }
    const glm::vec3& clearColor() const { return finalFramebuffer.clearColor; }
    // The debug view of the shadow maps (F2), tiles along the top edge.
    void toggleShadowMapTiles() { flags ^= kShowShadowMaps; }
    // Not owned; when set, each pass of the frame is timed on the GPU.
    void setPassTimer(GpuPassTimer* timer) { passTimer = timer; }
    GpuPassTimer* currentPassTimer() const { return passTimer; }
    // The per-pixel fragment lists, for profiles of the pool's use.
    const TransparencyBuffers& transparencyLists() const { return transparency; }

private:
    // Tests look inside through this seam (tests/support/RendererTestSeam.hpp).
    friend struct RendererTestSeam;

    void renderShadowMaps();
    void reaimPointLights();
    void resetTransparencyLists();
    void beginGeometry();
    void clearGBuffer();
    void drawGeometry();
    void drawTransparentNodes();
    void drawPath();
    void drawSkybox();
    void drawLighting();
    GLuint applyEffects();
    void drawOverlays();
    void drawPhysicsDebug();
    void drawDebugArrows();
    void drawShadowMapTiles();
    void drawFinal(GLuint framebuffer, const Viewport& viewport, GLuint image);
    // Uploads a block only when its dirty bit is set, then binds it.
    void bindLights();
    void bindShadows(GLuint textureUnit);

    // Members in construction order.
    TextRenderer textRenderer;
    SceneNode* sceneRoot = nullptr;  // the first node; owns the tree through its links
    std::unique_ptr<PathMesh> pathMesh;
    UBO<lightBuffer> lights{binding::kLights};
    UBO<shadowBuffer> shadows{binding::kShadows};
    kes::shadowMaps shadowMaps;
    float lightNear = 1.25f;
    float lightFar = 1000.0f;
    Program progDebugShadowMaps;
    GLint shadowMapIndexLocation;
    UBO<perFrameData> frameData{binding::kPerFrame};
    GBuffer gbuffer;
    TransparencyBuffers transparency;
    kes::finalFramebuffer finalFramebuffer;
    VAO fullscreenVAO;
    Program progRenderGBuffers;
    Program progRenderFinalFBO;
    struct FinalLocations {
        GLint brightness, exposure, enableBrightness, enableExposure;
    } finalLocations;
    Program progDebugPhysics;
    GLint debugPhysicsAlphaLocation;
    float debugPhysicsAlpha = 0.25f;
    std::vector<DebugArrow> debugArrows;
    Program progDebugArrow;
    struct ArrowLocations {
        GLint color, scale, transform;
    } arrowLocations;
    VAO arrowMesh;
    std::uint32_t mainSize[2];
    Viewport mainViewport;
    FBO transparencyFramebuffer;
    Program progClearGBuffer;
    Program progRenderSkybox;
    std::uint32_t postSize[2];
    Viewport postViewport;
    std::uint8_t effectFlags;
    std::vector<std::unique_ptr<iPostProcessEffect>> effects;  // applied in this order
    CubeTexture skyboxTexture;
    VAO skyboxCube;
    std::uint8_t flags = kEnableBrightness;
    float brightness;
    float exposure = 0.5f;
    Camera camera;
    GpuPassTimer* passTimer = nullptr;    // not owned; may be null
    const DebugShapeSource* debugShapes;  // not owned; may be null

    GLuint m_rawDepthSampler = 0;  // reads the shadow maps' depths without comparing
    // The per-frame block as each light sees it, for the shadow pass.
    UBO<perFrameData> m_lightFrame{binding::kPerFrame};
    std::vector<SceneNode*> m_opaqueNodes;
    std::vector<SceneNode*> m_transparentNodes;
};

}  // namespace kes
