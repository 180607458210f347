#include "gpu/Framebuffers.hpp"

#include <stdexcept>
#include <string>

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {
namespace {

[[noreturn]] void fail(const std::string& where, const char* condition) {
    throw std::runtime_error(where + " - Failed: \"" + condition + "\"");
}

void requireComplete(const char* where) {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        fail(where, "res == GL_FRAMEBUFFER_COMPLETE");
    }
}

void attachDepthStencil(GLuint renderbuffer) {
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              renderbuffer);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

void attachColour(GLenum attachment, const Texture& texture) {
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glFramebufferTexture2D(GL_FRAMEBUFFER, attachment, GL_TEXTURE_2D, texture.id, 0);
}

}  // namespace

void FBO::makeFBO() {
    id = FramebufferName::generate();
    if (id == 0) {
        fail("kes::FBO::makeFBO", "fbo");
    }
}

void FBO::makeFramebufferWithDStencil(GLuint renderbuffer) {
    makeFBO();
    glBindFramebuffer(GL_FRAMEBUFFER, id);
    attachDepthStencil(renderbuffer);
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        id.reset();
        fail("kes::FBO::makeFramebufferWithDStencil", "res == GL_FRAMEBUFFER_COMPLETE");
    }
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

dsbuffer::dsbuffer(std::uint32_t width, std::uint32_t height) : id(RenderbufferName::generate()) {
    if (id == 0) {
        fail("kes::dsbuffer::dsbuffer", "id");
    }
    glBindRenderbuffer(GL_RENDERBUFFER, id);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(width),
                          static_cast<GLsizei>(height));
    if (glGetError() != GL_NO_ERROR) {
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        fail("kes::dsbuffer::dsbuffer", "::glGetError() == GL_NO_ERROR");
    }
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

namespace {

FBO newFramebuffer() {
    FBO fbo;
    fbo.makeFBO();
    return fbo;
}

}  // namespace

GBuffer::GBuffer(std::uint32_t width, std::uint32_t height, GLuint depthStencil)
    : fbo(newFramebuffer()),
      colour0(width, height, GL_RGBA8, GL_UNSIGNED_BYTE),
      colour1(width, height, GL_RGBA32F, GL_FLOAT),
      colour2(width, height, GL_RGBA16F, GL_FLOAT) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo.id);
    attachColour(GL_COLOR_ATTACHMENT0, colour0);
    attachColour(GL_COLOR_ATTACHMENT1, colour1);
    attachColour(GL_COLOR_ATTACHMENT2, colour2);
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLenum drawBuffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2};
    glDrawBuffers(3, drawBuffers);
    requireComplete("kes::GBuffer::GBuffer");
    attachDepthStencil(depthStencil);
    requireComplete("kes::GBuffer::GBuffer");
    labelObject(GL_FRAMEBUFFER, fbo.id, "G-buffer");
    labelObject(GL_TEXTURE, colour0.id, "G-buffer albedo and metalness");
    labelObject(GL_TEXTURE, colour1.id, "G-buffer emission and distance");
    labelObject(GL_TEXTURE, colour2.id, "G-buffer normal and roughness");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void GBuffer::bindTextures() const {
    glActiveTexture(GL_TEXTURE0 + unit::kAlbedoMetal);
    glBindTexture(GL_TEXTURE_2D, colour0.id);
    glActiveTexture(GL_TEXTURE0 + unit::kEmissiveDistance);
    glBindTexture(GL_TEXTURE_2D, colour1.id);
    glActiveTexture(GL_TEXTURE0 + unit::kNormalRoughness);
    glBindTexture(GL_TEXTURE_2D, colour2.id);
}

void GBuffer::unbindTextures() {
    for (const GLuint unit :
         {unit::kAlbedoMetal, unit::kEmissiveDistance, unit::kNormalRoughness}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
}

finalFramebuffer::finalFramebuffer(std::uint32_t width, std::uint32_t height, GLuint depthStencil)
    : fbo(newFramebuffer()), colour(width, height, GL_RGBA16F, GL_FLOAT) {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo.id);
    attachColour(GL_COLOR_ATTACHMENT0, colour);
    glBindTexture(GL_TEXTURE_2D, 0);
    const GLenum drawBuffer = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &drawBuffer);
    requireComplete("kes::finalFramebuffer::finalFramebuffer");
    attachDepthStencil(depthStencil);
    requireComplete("kes::finalFramebuffer::finalFramebuffer");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

shadowMaps::shadowMaps() {
    // FBOs made so far are deleted by their own destructors if a later one fails.
    for (FBO& fbo : fbos) {
        fbo.makeFBO();
    }
    try {
        makeTextureArray();
        attachLayers();
    } catch (...) {
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        throw;
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
}

void shadowMaps::makeTextureArray() {
    constexpr const char* kWhere = "kes::shadowMaps::shadowMaps";
    textureArrayId = TextureName::generate();
    if (textureArrayId == 0) {
        fail(kWhere, "textureArrayId");
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, textureArrayId);
    if (glGetError() != GL_NO_ERROR) {
        fail(kWhere, "::glGetError() == GL_NO_ERROR");
    }
    glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_DEPTH_COMPONENT24, kSize, kSize, kLayers, 0,
                 GL_DEPTH_COMPONENT, GL_UNSIGNED_SHORT, nullptr);
    if (glGetError() != GL_NO_ERROR) {
        fail(kWhere, "::glGetError() == GL_NO_ERROR");
    }
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
    // Sampled through a shadow sampler: a lookup answers "is the stored depth >= mine?".
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_COMPARE_MODE, GL_COMPARE_REF_TO_TEXTURE);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_COMPARE_FUNC, GL_LEQUAL);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

void shadowMaps::attachLayers() {
    for (int layer = 0; layer < kLayers; ++layer) {
        glBindFramebuffer(GL_FRAMEBUFFER, fbos[static_cast<std::size_t>(layer)].id);
        glFramebufferTextureLayer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, textureArrayId, 0, layer);
        glDrawBuffers(0, nullptr);  // depth only
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            glBindFramebuffer(GL_FRAMEBUFFER, 0);
            fail("kes::shadowMaps::shadowMaps", "status == GL_FRAMEBUFFER_COMPLETE");
        }
        glClearDepthf(1.0f);
        glClear(GL_DEPTH_BUFFER_BIT);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
    }
}

}  // namespace kes
