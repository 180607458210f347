// What every pass of a frame shares, made by the renderer and handed to each pass in the frame's
// order: the depth and stencil, the G-buffer (where the level shades deferred), the HDR image
// the frame composes into, the per-pixel fragment lists (when the quality level keeps them), the
// per-frame block, the lights, the full-screen triangle, the internal picture's size and the one
// door to GL's fixed-function state. Each pass owns everything else it needs. A change of quality
// or render scale makes a new frame of the new size, which takes the old one's lights and per-frame
// block over.
#pragma once

#include <cstdint>
#include <optional>

#include "gpu/Bindings.hpp"
#include "gpu/Buffers.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/TransparencyBuffers.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "gpu/Viewport.hpp"
#include "render/GpuPassTimer.hpp"
#include "render/LightBlocks.hpp"
#include "render/Quality.hpp"

namespace kes {

struct Frame {
    // The targets `traits` asks for at `width` x `height`.
    Frame(std::uint32_t width, std::uint32_t height, const QualityTraits& traits)
        : depthStencil(width, height),
          hdr(width, height, depthStencil.id),
          viewport{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)} {
        if (!traits.forward) {
            gbuffer.emplace(width, height, depthStencil.id);
        }
        if (traits.fragmentLists) {
            lists.emplace(width, height);
        }
    }

    void setViewport() const {
        glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    }

    UBO<perFrameData> block{binding::kPerFrame};
    LightBlocks lights;
    dsbuffer depthStencil;                     // shared by every target of the picture's size
    std::optional<GBuffer> gbuffer;            // none where the level shades forward
    std::optional<TransparencyBuffers> lists;  // none where the level adds the tube instead
    finalFramebuffer hdr;
    VAO fullscreen;     // no buffers: the vertex stage makes the triangle
    Viewport viewport;  // the whole picture
    GlStateCache state;
    GpuPassTimer* timer = nullptr;  // not owned; when set, each pass is timed on the GPU
};

}  // namespace kes
