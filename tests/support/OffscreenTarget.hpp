// A colour texture with its framebuffer, for tests that render at a size other than the test
// window's and read the result back.
#pragma once

#include <cstdint>

#include "gpu/FrameCapture.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/Texture.hpp"

namespace kes::test {

class OffscreenTarget {
public:
    OffscreenTarget(std::uint32_t width_, std::uint32_t height_)
        : width(width_), height(height_), colour(width_, height_, GL_RGBA8, GL_UNSIGNED_BYTE) {
        fbo.makeFBO();
        glBindFramebuffer(GL_FRAMEBUFFER, fbo.id);
        glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour.id, 0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }

    Viewport viewport() const {
        return {0, 0, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)};
    }
    CapturedImage capture() const {
        return captureFramebuffer(fbo.id, GL_COLOR_ATTACHMENT0, static_cast<int>(width),
                                  static_cast<int>(height));
    }

    std::uint32_t width;
    std::uint32_t height;
    Texture colour;
    FBO fbo;
};

}  // namespace kes::test
