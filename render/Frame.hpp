// What every pass of a frame shares, made by the renderer and handed to each pass in the frame's
// order: the G-buffer, the HDR image the frame composes into, the per-pixel fragment lists (when
// the quality level keeps them), the per-frame block, the lights, the full-screen triangle, the
// internal picture's size and the one door to GL's fixed-function state. Each pass owns
// everything else it needs. A change of quality or render scale makes a new frame of the new
// size, which takes the old one's lights and per-frame block over.
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

namespace kes {

struct Frame {
    Frame(std::uint32_t width, std::uint32_t height, bool withLists)
        : gbuffer(width, height),
          hdr(width, height, gbuffer.depthStencil.id),
          viewport{0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)} {
        if (withLists) {
            lists.emplace(width, height);
        }
    }

    void setViewport() const {
        glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
    }

    UBO<perFrameData> block{binding::kPerFrame};
    LightBlocks lights;
    GBuffer gbuffer;
    std::optional<TransparencyBuffers> lists;  // none where the level adds the tube instead
    finalFramebuffer hdr;                      // shares the G-buffer's depth and stencil
    VAO fullscreen;                            // no buffers: the vertex stage makes the triangle
    Viewport viewport;                         // the whole picture
    GlStateCache state;
    GpuPassTimer* timer = nullptr;  // not owned; when set, each pass is timed on the GPU
};

}  // namespace kes
