#include "render/Renderer.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "gpu/GlState.hpp"
#include "gpu/MeshFile.hpp"

namespace kes {

namespace {

constexpr std::size_t kNodeListCapacity = 10;
constexpr GLbitfield kListWritesBeforeResolve = GL_SHADER_IMAGE_ACCESS_BARRIER_BIT |
                                                GL_SHADER_STORAGE_BARRIER_BIT |
                                                GL_ATOMIC_COUNTER_BARRIER_BIT;

Program makeProgram(const std::filesystem::path& assetsFolder, const char* vertex,
                    const char* fragment, const char* name) {
    return Program(makeShaderPath(assetsFolder, vertex), makeShaderPath(assetsFolder, fragment),
                   name);
}

// A unit cube around the eye; the skybox shader pushes it to the far plane.
VAO makeSkyboxCube() {
    const std::vector<VertexPos> corners = {
        {{-1, -1, 1}}, {{1, -1, 1}}, {{1, 1, 1}},   {{-1, 1, 1}},
        {{1, -1, -1}}, {{1, 1, -1}}, {{-1, 1, -1}}, {{-1, -1, -1}},
    };
    const std::vector<std::uint16_t> indices = {0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 2,
                                                4, 7, 6, 4, 6, 5, 7, 0, 3, 7, 3, 6,
                                                3, 2, 5, 3, 5, 6, 1, 0, 4, 4, 0, 7};
    return VAO(corners, indices);
}

FBO makeDepthStencilFramebuffer(GLuint renderbuffer) {
    FBO fbo;
    fbo.makeFramebufferWithDStencil(renderbuffer);
    return fbo;
}

Viewport fullViewport(std::uint32_t width, std::uint32_t height) {
    return {0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
}

// Bloom first, reflections second: reflections then mirror the glow as well.
std::vector<std::unique_ptr<iPostProcessEffect>> makeEffects(
    const std::filesystem::path& assetsFolder, std::uint32_t width, std::uint32_t height,
    std::uint8_t effectSet, GLuint depthStencil, const GLuint* skybox) {
    std::vector<std::unique_ptr<iPostProcessEffect>> effects;
    if ((effectSet & kEffectBloom) != 0) {
        effects.push_back(
            std::make_unique<PostProcessEffect_Bloom>(assetsFolder, width, height, depthStencil));
    }
    if ((effectSet & kEffectReflections) != 0) {
        effects.push_back(std::make_unique<PostProcessEffect_SSR>(assetsFolder, width, height,
                                                                  depthStencil, skybox));
    }
    return effects;
}

VAO loadArrowMesh(const std::filesystem::path& assetsFolder) {
    MeshReader reader(assetsFolder / "meshes" / "Arrow.KSX");
    return reader.readVAO();
}

// One pass of the frame: a debug group named after it, and its GPU time when a timer is set.
class PassScope {
public:
    PassScope(GpuPassTimer* timer, RenderPass pass)
        : m_group(renderPassName(pass)), m_timing(timer, pass) {}

private:
    DebugGroup m_group;
    ScopedPassTimer m_timing;
};

}  // namespace

Renderer::Renderer(const RendererSetup& setup, std::uint32_t width, std::uint32_t height,
                   std::uint8_t effectSet)
    : textRenderer(setup.assetsFolder, setup.dpi),
      progDebugShadowMaps(makeProgram(setup.assetsFolder, "renderFullscreenTri_vs",
                                      "debugShadowMaps_ps", "debugShadowMaps")),
      shadowMapIndexLocation(progDebugShadowMaps.uniformLocation("shadowMapIndex")),
      gbuffer(width, height),
      transparency(width, height),
      finalFramebuffer(width, height, gbuffer.depthStencil.id),
      progRenderGBuffers(makeProgram(setup.assetsFolder, "renderFullscreenTri_vs",
                                     "renderGbuffers_ps", "renderGBuffers")),
      progRenderFinalFBO(makeProgram(setup.assetsFolder, "renderFullscreenTri_vs",
                                     "renderFinalFBO_ps", "renderFinalFBO")),
      finalLocations{progRenderFinalFBO.uniformLocation("brightness"),
                     progRenderFinalFBO.uniformLocation("exposure"),
                     progRenderFinalFBO.uniformLocation("enableBrightness"),
                     progRenderFinalFBO.uniformLocation("enableExposure")},
      progDebugPhysics(
          makeProgram(setup.assetsFolder, "debugPhysics_vs", "debugPhysics_ps", "debugPhysics")),
      debugPhysicsAlphaLocation(progDebugPhysics.uniformLocation("ALPHA")),
      progDebugArrow(
          makeProgram(setup.assetsFolder, "debugArrow_vs", "debugArrow_ps", "debugArrow")),
      arrowLocations{progDebugArrow.uniformLocation("iColor"),
                     progDebugArrow.uniformLocation("iScale"),
                     progDebugArrow.uniformLocation("iTransform")},
      arrowMesh(loadArrowMesh(setup.assetsFolder)),
      mainSize{width, height},
      mainViewport(fullViewport(width, height)),
      transparencyFramebuffer(makeDepthStencilFramebuffer(gbuffer.depthStencil.id)),
      progClearGBuffer(makeProgram(setup.assetsFolder, "renderFullscreenTri_vs", "clearGBuffer_ps",
                                   "progClearGBuffer")),
      progRenderSkybox(
          makeProgram(setup.assetsFolder, "skybox_vs", "skybox_ps", "progRenderSkybox")),
      postSize{width, height},
      postViewport(fullViewport(width, height)),
      effectFlags(effectSet),
      effects(makeEffects(setup.assetsFolder, width, height, effectSet, gbuffer.depthStencil.id,
                          &skyboxTexture.id)),
      skyboxTexture(setup.assetsFolder / "textures", "try"),
      skyboxCube(makeSkyboxCube()),
      brightness(setup.brightness),
      camera(90.0f, static_cast<float>(width) / static_cast<float>(height), 0.1f, 1000.0f,
             glm::vec3(0.0f), 1.0f, glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f, 1.0f, 0.0f)),
      debugShapes(setup.debugShapes) {
    frameData.data.width = width;
    frameData.data.height = height;
    m_opaqueNodes.reserve(kNodeListCapacity);
    m_transparentNodes.reserve(kNodeListCapacity);
    // The sky's reflection reads blurred mip levels of the cube map, where filtering across a
    // face's edge would otherwise show the seams.
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glGenSamplers(1, &m_rawDepthSampler);
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_COMPARE_MODE, GL_NONE);
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glSamplerParameteri(m_rawDepthSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

Renderer::~Renderer() {
    destroyScene(sceneRoot);
    glDeleteSamplers(1, &m_rawDepthSampler);
}

void Renderer::addDebugArrow(const DebugArrow& arrow) {
    debugArrows.push_back(arrow);
}

SceneNode* Renderer::addNode(NodeModels&& nodeModels, const TransformSource* body, float opacity) {
    auto* node = new SceneNode(this, std::move(nodeModels), body, opacity);
    linkNode(sceneRoot, node);
    return node;
}

std::uint32_t Renderer::addLight(const LightDesc& desc) {
    if (lights.data.count >= kMaxLights || shadows.data.count >= kMaxLights) {
        throw std::length_error("kes::Renderer::addLight - at most " + std::to_string(kMaxLights) +
                                " lights fit the light and shadow-map arrays");
    }
    shadowBuffer& shadowBlock = shadows.data;
    const std::uint32_t map = shadowBlock.count;
    const LightRecord record = makeLightRecord(desc, map);
    if (const auto matrix = computeLightMatrix(record, 1.0f, lightNear, lightFar, camera)) {
        shadowBlock.maps[map] = {*matrix, glm::inverse(*matrix)};
    }
    ++shadowBlock.count;

    lightBuffer& lightBlock = lights.data;
    const std::uint32_t index = lightBlock.count;
    lightBlock.lights[index] = record;
    ++lightBlock.count;
    flags |= kLightsDirty | kShadowsDirty;
    return index;
}

void Renderer::setPathMesh(std::unique_ptr<PathMesh> mesh) {
    pathMesh = std::move(mesh);
}

void Renderer::syncPhysics(float /*time*/) {
    forEachNode(sceneRoot, [](SceneNode& node) { node.syncPhysics(); });
}

void Renderer::prepareFrame(const Camera& appCamera, float frameDt, float time, float alpha) {
    forEachNode(sceneRoot, [alpha](SceneNode& node) { node.interpolate(alpha); });
    camera = appCamera;
    perFrameData& block = frameData.data;
    if (camera.update()) {
        block.viewProj = camera.viewProj;
        block.viewProjInv = glm::inverse(camera.viewProj);
        block.view = camera.view;
        block.viewInv = glm::inverse(camera.view);
        block.viewInvTrans = glm::inverse(glm::transpose(camera.view));
        block.proj = camera.proj;
        block.projInv = glm::inverse(camera.proj);
        block.camPos = camera.eye;
    }
    block.time = time;
    block.deltaTime = frameDt;
    block.width = mainSize[0];
    block.height = mainSize[1];
    frameData.upload();
}

std::optional<glm::mat4> Renderer::computeLightMatrix(const LightRecord& light, float aspect,
                                                      float nearPlane, float farPlane,
                                                      const Camera& camera) {
    return kes::computeLightMatrix(light, aspect, nearPlane, farPlane, camera);
}

void Renderer::bindLights() {
    if ((flags & kLightsDirty) != 0) {
        lights.upload();
        flags &= static_cast<std::uint8_t>(~kLightsDirty);
    }
    lights.bind();
}

void Renderer::bindShadows(GLuint textureUnit) {
    glActiveTexture(GL_TEXTURE0 + textureUnit);
    glBindTexture(GL_TEXTURE_2D_ARRAY, shadowMaps.textureArrayId);
    if ((flags & kShadowsDirty) != 0) {
        shadows.upload();
        flags &= static_cast<std::uint8_t>(~kShadowsDirty);
    }
    shadows.bind();
}

void Renderer::render(GLuint framebuffer, const Viewport* viewport) {
    if (sceneRoot != nullptr) {
        const PassScope scope(passTimer, RenderPass::Shadow);
        renderShadowMaps();
    }
    glViewport(mainViewport.x, mainViewport.y, mainViewport.width, mainViewport.height);
    resetTransparencyLists();
    {
        const PassScope scope(passTimer, RenderPass::Geometry);
        beginGeometry();
        clearGBuffer();
        drawGeometry();
    }
    {
        const PassScope scope(passTimer, RenderPass::Transparency);
        if (!m_transparentNodes.empty()) {
            drawTransparentNodes();
        }
        if (pathMesh != nullptr) {
            drawPath();
        }
    }
    // The lists were appended with image atomics, storage writes and the node counter; the
    // resolve reads them with imageLoad and storage reads.
    glMemoryBarrier(kListWritesBeforeResolve);

    glBindFramebuffer(GL_FRAMEBUFFER, finalFramebuffer.fbo.id);
    const glm::vec3& background = finalFramebuffer.clearColor;
    glClearColor(background.r, background.g, background.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(mainViewport.x, mainViewport.y, mainViewport.width, mainViewport.height);
    {
        const PassScope scope(passTimer, RenderPass::Lighting);
        CapabilityGuard depthTest(GL_DEPTH_TEST, false);
        drawSkybox();
        drawLighting();
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glBindTexture(GL_TEXTURE_2D, finalFramebuffer.colour.id);
    glGenerateMipmap(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);

    const GLuint image = applyEffects();
    {
        const PassScope scope(passTimer, RenderPass::Overlays);
        drawOverlays();
    }
    const PassScope scope(passTimer, RenderPass::Final);
    drawFinal(framebuffer, *viewport, image);
}

// Each effect reads the image the one before it made; the last one's framebuffer stays bound
// for the overlays. Returns the image the final pass shows.
GLuint Renderer::applyEffects() {
    GLuint image = finalFramebuffer.colour.id;
    GLuint target = finalFramebuffer.fbo.id;
    for (const auto& effect : effects) {
        const RenderPass pass = effect->kind == iPostProcessEffect::kBloom
                                    ? RenderPass::Bloom
                                    : RenderPass::Reflections;
        const PassScope scope(passTimer, pass);
        glViewport(postViewport.x, postViewport.y, postViewport.width, postViewport.height);
        effect->apply(gbuffer, &image);
        image = effect->output.id;
        target = effect->framebuffer;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    return image;
}

}  // namespace kes
