// The renderer's off-screen targets: the G-buffer with three colour textures, the final HDR
// framebuffer, depth-only framebuffers, all on one shared depth-stencil renderbuffer, and the
// ten-layer shadow-map array. Each is made once and checked complete;
// every constructor leaves framebuffer 0 bound.
#pragma once

#include <array>
#include <cstdint>

#include <GL/glew.h>
#include <glm/glm.hpp>

#include "gpu/GlName.hpp"
#include "gpu/Texture.hpp"
#include "gpu/Viewport.hpp"

namespace kes {

class FBO {
public:
    FBO() = default;  // no framebuffer yet

    void makeFBO();
    // A framebuffer whose only attachment is `renderbuffer` as its depth and stencil.
    void makeFramebufferWithDStencil(GLuint renderbuffer);

    FramebufferName id;
};

// A GL_DEPTH24_STENCIL8 renderbuffer.
class dsbuffer {
public:
    dsbuffer(std::uint32_t width, std::uint32_t height);

    RenderbufferName id;
};

// Three colour images on the shared `depthStencil`, which must outlive it.
class GBuffer {
public:
    GBuffer(std::uint32_t width, std::uint32_t height, GLuint depthStencil);

    // Colour k on texture unit k; unit 2 stays active.
    void bindTextures() const;
    // Leaves the three units empty, so no pass reads an image while drawing into it.
    static void unbindTextures();

    FBO fbo;
    Texture colour0;  // RGBA8
    Texture colour1;  // RGBA32F
    Texture colour2;  // RGBA16F
    glm::vec3 clearColor{0.0f};
};

// The HDR image that lighting, transparency and effects compose into. It borrows the shared
// depth-stencil, which must outlive it.
class finalFramebuffer {
public:
    finalFramebuffer(std::uint32_t width, std::uint32_t height, GLuint depthStencil);

    FBO fbo;
    Texture colour;  // RGBA16F with a mip chain
    glm::vec3 clearColor{1.0f};
};

class shadowMaps {
public:
    static constexpr int kLayers = 10;
    static constexpr int kSize = 1024;  // texels on each side

    shadowMaps();

    std::array<FBO, kLayers> fbos;  // framebuffer i draws into layer i
    TextureName textureArrayId;     // depth, compared through a shadow sampler
    Viewport viewport{0, 0, kSize, kSize};

private:
    void makeTextureArray();
    void attachLayers();
};

}  // namespace kes
