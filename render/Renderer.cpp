#include "render/Renderer.hpp"

#include <iostream>
#include <utility>

#include "gpu/GlState.hpp"

namespace kes {
namespace {

constexpr std::size_t kNodeListCapacity = 10;
// The lists are appended with image atomics, storage writes and the node counter; the resolve
// reads them with image loads and storage reads.
constexpr GLbitfield kListWritesBeforeResolve = GL_SHADER_IMAGE_ACCESS_BARRIER_BIT |
                                                GL_SHADER_STORAGE_BARRIER_BIT |
                                                GL_ATOMIC_COUNTER_BARRIER_BIT;

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
    : m_assetsFolder(setup.assetsFolder),
      m_effectSet(effectSet),
      m_picture{width, height},
      m_quality(setup.quality),
      m_scale(setup.renderScale),
      m_frame(makeFittingFrame()),
      m_sky(setup.assetsFolder),
      m_geometryPass(setup.assetsFolder),
      m_transparencyPass(*m_frame),
      m_lightingPass(setup.assetsFolder, m_sky),
      m_overlays(setup.assetsFolder, setup.dpi, setup.debugShapes),
      m_finalPass(setup.assetsFolder, setup.brightness),
      m_camera(90.0f, static_cast<float>(width) / static_cast<float>(height), 0.1f, 1000.0f,
               glm::vec3(0.0f), 1.0f, glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f, 1.0f, 0.0f)) {
    m_lightingPass.setLevel(m_quality);
    makeFittingEffects();
    m_opaqueNodes.reserve(kNodeListCapacity);
    m_translucentNodes.reserve(kNodeListCapacity);
    // The sky's reflection reads blurred mip levels of the cube map, where filtering across a
    // face's edge would otherwise show the seams.
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
}

PictureSize Renderer::internalSize() const {
    return scaledPicture(m_picture.width, m_picture.height, m_scale);
}

std::unique_ptr<Frame> Renderer::makeFrame() const {
    const PictureSize size = internalSize();
    auto frame = std::make_unique<Frame>(size.width, size.height, traitsOf(m_quality));
    frame->block.data.width = size.width;
    frame->block.data.height = size.height;
    return frame;
}

// The picture's targets at the scale asked for or, where the driver cannot make them (too
// little graphics memory, larger than its largest texture: a failed target throws), at half
// that scale and half again down to the smallest, said in
// one line: a start that can draw at all does.
std::unique_ptr<Frame> Renderer::makeFittingFrame() {
    for (;;) {
        try {
            return makeFrame();
        } catch (const std::runtime_error&) {
            shrinkAfterFailedTarget();
        }
    }
}

void Renderer::makeFittingEffects() {
    for (;;) {
        try {
            makeEffects();
            return;
        } catch (const std::runtime_error&) {
            m_effects.clear();
            shrinkAfterFailedTarget();
            remakeFrame();
            m_transparencyPass.attach(*m_frame);
        }
    }
}

// Called while a target's failure is handled: the next try is at half the scale, or the
// failure goes on when the scale is already the smallest.
void Renderer::shrinkAfterFailedTarget() {
    while (glGetError() != GL_NO_ERROR) {
    }
    const PictureSize failed = internalSize();
    if (m_scale / 2.0f < kSmallestFallbackScale) {
        throw;
    }
    m_scale /= 2.0f;
    const PictureSize smaller = internalSize();
    std::cout << "The picture's targets at " << failed.width << " x " << failed.height
              << " could not be made (the graphics driver refused them); drawing at "
              << smaller.width << " x " << smaller.height << " instead" << std::endl;
}

// The old targets go first, so memory never holds two sets at once (and the new ones fall back
// to a smaller scale as makeFittingFrame says) (at 1280 x 720 a set with
// its fragment pool is some 200 MiB); the per-frame block, the lights, the pass timer and the
// clear colour carry over.
void Renderer::remakeFrame() {
    UBO<perFrameData> block = std::move(m_frame->block);
    LightBlocks lights = std::move(m_frame->lights);
    GpuPassTimer* timer = m_frame->timer;
    const auto clearColor = m_frame->hdr.clearColor;
    m_frame.reset();
    m_frame = makeFittingFrame();
    const perFrameData sized = m_frame->block.data;
    m_frame->block = std::move(block);
    m_frame->block.data.width = sized.width;
    m_frame->block.data.height = sized.height;
    m_frame->lights = std::move(lights);
    m_frame->timer = timer;
    m_frame->hdr.clearColor = clearColor;
}

// Bloom first, reflections second: reflections then mirror the glow as well. A level without
// an effect does not make its targets at all.
void Renderer::makeEffects() {
    const QualityTraits traits = traitsOf(m_quality);
    const auto width = static_cast<std::uint32_t>(m_frame->viewport.width);
    const auto height = static_cast<std::uint32_t>(m_frame->viewport.height);
    const GLuint depthStencil = m_frame->depthStencil.id;
    m_effects.clear();
    if ((m_effectSet & kEffectBloom) != 0 && traits.bloomDivisor > 0) {
        m_effects.push_back(std::make_unique<PostProcessEffect_Bloom>(
            m_assetsFolder, width, height, depthStencil,
            static_cast<std::uint32_t>(traits.bloomDivisor)));
    }
    if ((m_effectSet & kEffectReflections) != 0 && traits.reflections) {
        m_effects.push_back(std::make_unique<PostProcessEffect_SSR>(m_assetsFolder, width, height,
                                                                    depthStencil, m_sky.cube()));
    }
}

void Renderer::setQuality(QualityLevel level, float scale) {
    if (level == m_quality && scale == m_scale) {
        return;
    }
    const QualityTraits before = traitsOf(m_quality);
    const QualityTraits after = traitsOf(level);
    const bool targetsChange =
        after.fragmentLists != before.fragmentLists || after.forward != before.forward;
    const bool sizeChanges =
        scaledPicture(m_picture.width, m_picture.height, scale) != internalSize();
    m_quality = level;
    m_scale = scale;
    m_lightingPass.setLevel(level);
    if (sizeChanges || targetsChange) {
        m_effects.clear();  // they hold the old frame's depth and stencil
        remakeFrame();
        m_transparencyPass.attach(*m_frame);
    }
    makeFittingEffects();
}

void Renderer::setTubeHighlight(const glm::vec3& centre, float radius) {
    if (PathMesh* tube = m_transparencyPass.pathMesh()) {
        tube->setHighlight(centre, radius);
    }
}

Renderer::~Renderer() {
    destroyScene(m_sceneRoot);
}

SceneNode* Renderer::addNode(NodeModels&& nodeModels, const TransformSource* body, float opacity) {
    auto* node = new SceneNode(this, std::move(nodeModels), body, opacity);
    linkNode(m_sceneRoot, node);
    return node;
}

std::uint32_t Renderer::addLight(const LightDesc& desc) {
    const LightRecord record = makeLightRecord(desc, m_frame->lights.shadows().count);
    return m_frame->lights.add(
        desc, computeLightMatrix(record, 1.0f, ShadowPass::kNear, ShadowPass::kFar, m_camera));
}

void Renderer::setLight(std::uint32_t index, const LightDesc& desc) {
    const LightRecord record = makeLightRecord(desc, index);
    m_frame->lights.set(
        index, desc,
        computeLightMatrix(record, 1.0f, ShadowPass::kNear, ShadowPass::kFar, m_camera));
}

void Renderer::removeNode(SceneNode* node) {
    if (node == m_sceneRoot) {
        m_sceneRoot = node->nextSibling;
    }
    destroyNode(node);
}

void Renderer::setPathMesh(std::unique_ptr<PathMesh> mesh) {
    m_transparencyPass.setPathMesh(std::move(mesh));
}

void Renderer::syncPhysics(float /*time*/) {
    forEachNode(m_sceneRoot, [](SceneNode& node) { node.syncPhysics(); });
}

void Renderer::prepareFrame(const Camera& appCamera, float frameDt, float time, float alpha) {
    forEachNode(m_sceneRoot, [alpha](SceneNode& node) { node.interpolate(alpha); });
    m_camera = appCamera;
    perFrameData& block = m_frame->block.data;
    if (m_camera.update()) {
        block.viewProj = m_camera.viewProj;
        block.viewProjInv = glm::inverse(m_camera.viewProj);
        block.view = m_camera.view;
        block.viewInv = glm::inverse(m_camera.view);
        block.viewInvTrans = glm::inverse(glm::transpose(m_camera.view));
        block.proj = m_camera.proj;
        block.projInv = glm::inverse(m_camera.proj);
        block.camPos = m_camera.eye;
    }
    block.time = time;
    block.deltaTime = frameDt;
    block.width = static_cast<std::uint32_t>(m_frame->viewport.width);
    block.height = static_cast<std::uint32_t>(m_frame->viewport.height);
    m_frame->block.upload();
}

std::optional<glm::mat4> Renderer::computeLightMatrix(const LightRecord& light, float aspect,
                                                      float nearPlane, float farPlane,
                                                      const Camera& camera) {
    return kes::computeLightMatrix(light, aspect, nearPlane, farPlane, camera);
}

void Renderer::render(GLuint framebuffer, const Viewport* viewport) {
    Frame& frame = *m_frame;
    frame.state.forget();  // whatever ran since the last frame may have changed it
    m_opaqueNodes.clear();
    m_translucentNodes.clear();
    collectNodes(m_sceneRoot, m_opaqueNodes, m_translucentNodes);
    const bool forward = traitsOf(m_quality).forward;
    if (forward) {
        drawForward(frame);
    } else {
        drawDeferred(frame);
    }
    const GLuint image = applyEffects();
    {
        const PassScope scope(frame.timer, RenderPass::Overlays);
        m_overlays.draw(frame, forward ? nullptr : &m_shadowPass);
    }
    {
        const PassScope scope(frame.timer, RenderPass::Final);
        const Viewport shown = m_finalPass.draw(frame, image, framebuffer, *viewport);
        m_overlays.drawText(frame, shown, [this](const glm::vec3& light) {
            return m_finalPass.displayColour(light);
        });
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    frame.state.apply(PipelineState{});
}

void Renderer::drawDeferred(Frame& frame) {
    if (m_sceneRoot != nullptr) {
        const PassScope scope(frame.timer, RenderPass::Shadow);
        m_shadowPass.draw(frame, m_sceneRoot, m_camera);
    }
    frame.setViewport();
    m_transparencyPass.resetLists(frame);
    {
        const PassScope scope(frame.timer, RenderPass::Geometry);
        m_geometryPass.draw(frame, m_opaqueNodes);
    }
    {
        const PassScope scope(frame.timer, RenderPass::Transparency);
        m_transparencyPass.draw(frame, m_translucentNodes, m_shadowPass);
    }
    glMemoryBarrier(kListWritesBeforeResolve);
    m_lightingPass.clearImage(frame);
    {
        const PassScope scope(frame.timer, RenderPass::Lighting);
        m_lightingPass.draw(frame, m_shadowPass);
        // Where the level keeps no lists the translucent nodes and the tube go over the lit
        // picture: timed with it.
        m_transparencyPass.drawWithoutLists(frame, m_translucentNodes, m_shadowPass);
    }
    m_lightingPass.makeMipmaps(frame);
}

// Timed as the geometry pass (the opaque scene and the sky) and the transparency pass (the
// tube and the translucent nodes blended over them).
void Renderer::drawForward(Frame& frame) {
    {
        const PassScope scope(frame.timer, RenderPass::Geometry);
        m_forwardPass.draw(frame, m_opaqueNodes, m_sky);
    }
    {
        const PassScope scope(frame.timer, RenderPass::Transparency);
        m_transparencyPass.drawBlended(frame, m_translucentNodes);
    }
}

GLuint Renderer::applyEffects() {
    GLuint image = m_frame->hdr.colour.id;
    GLuint target = m_frame->hdr.fbo.id;
    for (const auto& effect : m_effects) {
        const RenderPass pass = effect->kind == iPostProcessEffect::kBloom
                                    ? RenderPass::Bloom
                                    : RenderPass::Reflections;
        const PassScope scope(m_frame->timer, pass);
        m_frame->setViewport();
        effect->apply(*m_frame->gbuffer, &image, m_frame->state);
        image = effect->output.id;
        target = effect->framebuffer;
    }
    glBindFramebuffer(GL_FRAMEBUFFER, target);
    return image;
}

}  // namespace kes
