#include "render/Renderer.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/App.hpp"
#include "game/PhysicsService.hpp"
#include "gpu/MeshFile.hpp"
#include "platform/OpenGL.hpp"
#include "gpu/GlState.hpp"

namespace kes {

namespace {

constexpr std::size_t kNodeListCapacity = 10;
constexpr glm::vec3 kPathWireColour{0.225f, 0.585f, 1.305f};
constexpr float kPathWireAlpha = 0.5f;
constexpr glm::vec3 kPathFillColour{0.105f, 0.273f, 0.609f};
constexpr float kPathFillAlpha = 0.45f;
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

RendererSetup applicationSetup() {
    App& app = *App::instance();
    return {app.assetsPath, app.settings.brightness, systemDpi(), &app.physics};
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

Viewport letterbox(std::uint32_t width, std::uint32_t height, const Viewport& window) {
    if (width == 0 || height == 0 || window.width <= 0 || window.height <= 0) {
        return window;
    }
    // Compared in whole numbers: the side that fills the window is exact.
    const auto wide = std::int64_t{window.width} * height >= std::int64_t{window.height} * width;
    Viewport shown = window;
    if (wide) {
        shown.width = static_cast<std::int32_t>(std::int64_t{window.height} * width / height);
        shown.x += (window.width - shown.width) / 2;
    } else {
        shown.height = static_cast<std::int32_t>(std::int64_t{window.width} * height / width);
        shown.y += (window.height - shown.height) / 2;
    }
    return shown;
}

Renderer::Renderer(std::uint32_t width, std::uint32_t height, std::uint8_t effectSet)
    : Renderer(applicationSetup(), width, height, effectSet) {}

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
      physics(setup.physics) {
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
    constructionSeconds = secondsSinceConstructionBegan();
}

Renderer::~Renderer() {
    destroyScene(sceneRoot);
    glDeleteSamplers(1, &m_rawDepthSampler);
}

void Renderer::addDebugArrow(const DebugArrow& arrow) {
    debugArrows.push_back(arrow);
}

SceneNode* Renderer::addNode(NodeModels&& nodeModels, RigidBody* body, float opacity) {
    auto* node = new SceneNode(this, std::move(nodeModels), body, nullptr, opacity);
    linkNode(sceneRoot, node);
    return node;
}

SceneNode* Renderer::addNode(NodeModels&& nodeModels, CollisionBody* body, float opacity) {
    auto* node = new SceneNode(this, std::move(nodeModels), nullptr, body, opacity);
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

void Renderer::prepareFrame(float frameDt, float time, float alpha) {
    prepareFrame(App::instance()->camera, frameDt, time, alpha);
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
        ScopedPassTimer timing(passTimer, RenderPass::Shadow);
        renderShadowMaps();
    }
    glViewport(mainViewport.x, mainViewport.y, mainViewport.width, mainViewport.height);
    resetTransparencyLists();
    {
        ScopedPassTimer timing(passTimer, RenderPass::Geometry);
        beginGeometry();
        clearGBuffer();
        drawGeometry();
    }
    {
        ScopedPassTimer timing(passTimer, RenderPass::Transparency);
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
        ScopedPassTimer timing(passTimer, RenderPass::Lighting);
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
        ScopedPassTimer timing(passTimer, RenderPass::Overlays);
        drawOverlays();
    }
    ScopedPassTimer timing(passTimer, RenderPass::Final);
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
        ScopedPassTimer timing(passTimer, pass);
        glViewport(postViewport.x, postViewport.y, postViewport.width, postViewport.height);
        effect->apply(gbuffer, &image);
        image = effect->output.id;
        target = effect->framebuffer;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    return image;
}

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

// Every head pointer becomes "empty" and the node counter 0. The last frame's shaders wrote
// both, so the copies into them wait for those writes.
void Renderer::resetTransparencyLists() {
    glMemoryBarrier(GL_TEXTURE_UPDATE_BARRIER_BIT | GL_BUFFER_UPDATE_BARRIER_BIT);
    const std::uint32_t zero = 0;
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, transparency.counter);
    glBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(zero), &zero);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, transparency.clearBuffer);
    glBindTexture(GL_TEXTURE_2D, transparency.heads.id);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(transparency.width),
                    static_cast<GLsizei>(transparency.height), GL_RED_INTEGER, GL_UNSIGNED_INT,
                    nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
}

// From here on every fragment that passes the depth test writes stencil 1: stencil 1 marks
// pixels covered by geometry, stencil 0 the background.
void Renderer::beginGeometry() {
    glBindFramebuffer(GL_FRAMEBUFFER, gbuffer.fbo.id);
    glClearDepth(1.0);
    glClearStencil(0);
    const glm::vec3& clear = gbuffer.clearColor;
    glClearColor(clear.r, clear.g, clear.b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
    glCullFace(GL_BACK);
    glFrontFace(GL_CW);
    glEnable(GL_CULL_FACE);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    glEnable(GL_STENCIL_TEST);
}

// The G-buffer's own clear values come from the shader, one full-screen triangle.
void Renderer::clearGBuffer() {
    CapabilityGuard depthTest(GL_DEPTH_TEST, false);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, false);
    glUseProgram(progClearGBuffer.id);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

void Renderer::drawGeometry() {
    m_opaqueNodes.clear();
    m_transparentNodes.clear();
    if (sceneRoot == nullptr) {
        return;
    }
    collectNodes(sceneRoot, m_opaqueNodes, m_transparentNodes);
    for (SceneNode* node : m_opaqueNodes) {
        node->draw(frameData, kDrawGeometry);
    }
}

// Translucent nodes are lit as they are drawn and appended to the fragment lists; both faces
// count, and they write no depth, so they never hide one another.
void Renderer::drawTransparentNodes() {
    glBindFramebuffer(GL_FRAMEBUFFER, transparencyFramebuffer.id);
    transparency.bind();
    CapabilityGuard culling(GL_CULL_FACE, false);
    CapabilityGuard depthTest(GL_DEPTH_TEST, true);
    DepthMaskGuard depthWrites(GL_FALSE);
    bindLights();
    bindShadows(unit::kTransparentShadowMaps);
    for (SceneNode* node : m_transparentNodes) {
        node->draw(frameData, kDrawTransparent);
    }
    glActiveTexture(GL_TEXTURE0 + unit::kTransparentShadowMaps);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    TransparencyBuffers::unbind();
}

// The tube twice into the fragment lists: a bright wire grid, then a darker skin. Every pixel
// it covers gets stencil 1, so the lighting pass resolves it over the sky as well.
void Renderer::drawPath() {
    glBindFramebuffer(GL_FRAMEBUFFER, transparencyFramebuffer.id);
    transparency.bind();
    CapabilityGuard culling(GL_CULL_FACE, false);
    CapabilityGuard depthTest(GL_DEPTH_TEST, true);
    DepthMaskGuard depthWrites(GL_FALSE);
    glStencilMask(0xFF);
    glStencilFunc(GL_ALWAYS, 1, 0xFF);
    glStencilOp(GL_KEEP, GL_KEEP, GL_REPLACE);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    pathMesh->draw(frameData, kPathWireColour, kPathWireAlpha);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    pathMesh->draw(frameData, kPathFillColour, kPathFillAlpha);
}

// Only background pixels (stencil 0) receive the sky.
void Renderer::drawSkybox() {
    glStencilFunc(GL_EQUAL, 0, 0xFF);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    glUseProgram(progRenderSkybox.id);
    frameData.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skyboxTexture.id);
    glBindVertexArray(skyboxCube.id);
    glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

// Shades the covered pixels (stencil 1) from the G-buffer and blends them over the sky.
void Renderer::drawLighting() {
    glStencilFunc(GL_EQUAL, 1, 0xFF);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, true);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    CapabilityGuard blend(GL_BLEND, true);
    glUseProgram(progRenderGBuffers.id);
    gbuffer.bindTextures();
    frameData.bind();
    bindLights();
    transparency.bind();
    bindShadows(unit::kLightingShadowMaps);
    glActiveTexture(GL_TEXTURE0 + unit::kLightingSky);
    glBindTexture(GL_TEXTURE_CUBE_MAP, skyboxTexture.id);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);

    TransparencyBuffers::unbind();
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
    glActiveTexture(GL_TEXTURE0 + unit::kLightingShadowMaps);
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    gbuffer.unbindTextures();
}

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
    if (physics == nullptr || !physics->getDebugGeometry(lines, triangles)) {
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

// The picture scaled into the window with its aspect kept; the bars beside it are black.
void Renderer::drawFinal(GLuint framebuffer, const Viewport& viewport, GLuint image) {
    CapabilityGuard depthTest(GL_DEPTH_TEST, false);
    CapabilityGuard stencilTest(GL_STENCIL_TEST, false);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    const Viewport shown = letterbox(mainSize[0], mainSize[1], viewport);
    if (shown.width != viewport.width || shown.height != viewport.height) {
        glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glViewport(shown.x, shown.y, shown.width, shown.height);
    glUseProgram(progRenderFinalFBO.id);
    frameData.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_2D, image);
    glUniform1f(finalLocations.brightness, brightness);
    glUniform1f(finalLocations.exposure, exposure);
    glUniform1ui(finalLocations.enableBrightness, (flags & kEnableBrightness) != 0 ? 1u : 0u);
    glUniform1ui(finalLocations.enableExposure, (flags & kEnableExposure) != 0 ? 1u : 0u);
    glBindVertexArray(fullscreenVAO.id);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace kes
