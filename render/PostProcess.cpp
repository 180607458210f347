#include "render/PostProcess.hpp"

#include <algorithm>
#include <cmath>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "gpu/Bindings.hpp"
#include "gpu/GlState.hpp"

namespace kes {

namespace {

Program makeProgram(const std::filesystem::path& assetsFolder, const char* fragment,
                    const char* name, const std::vector<std::string>& defines = {}) {
    return Program(makeShaderPath(assetsFolder, "renderFullscreenTri_vs"),
                   makeShaderPath(assetsFolder, fragment), name, defines);
}

std::uint32_t glowSide(std::uint32_t side, std::uint32_t divisor) {
    return std::max<std::uint32_t>(1, side / divisor);
}

// The blur keeps its reach across the picture at any size; the bright pass reads the input's
// mip level whose size is the glow's.
std::vector<std::string> blurDefines(std::uint32_t divisor) {
    std::ostringstream spread;
    spread.imbue(std::locale::classic());
    spread << "#define BLUR_SPREAD " << std::fixed << 2.0 / double(divisor);
    return {spread.str()};
}

std::vector<std::string> brightDefines(std::uint32_t divisor) {
    const int level = static_cast<int>(std::lround(std::log2(double(divisor))));
    return {"#define BRIGHT_LEVEL " + std::to_string(level) + ".0"};
}

// Attaches `texture` as the only colour target of the bound framebuffer.
void attachColour(GLuint texture) {
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    const GLenum target = GL_COLOR_ATTACHMENT0;
    glDrawBuffers(1, &target);
}

void bindTexture(GLuint unit, GLenum target, GLuint texture) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(target, texture);
}

// Full-screen draws as the frame's other full-screen passes make them (the G-buffer's culling,
// no depth test): over every pixel, or over those the geometry marked with stencil 1.
constexpr PipelineState kEverywhere = PipelineState{}.culling(GL_BACK, GL_CW);
constexpr PipelineState kCoveredPixels = kEverywhere.stencil(GL_EQUAL, 1, GL_REPLACE);

// For the images the blur reads: a glow must stop at the picture's edge, not come back in at
// the opposite one. Acts on the bound 2D texture.
void clampAtTheEdges() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

iPostProcessEffect::iPostProcessEffect(std::uint8_t kind_, std::uint32_t width_,
                                       std::uint32_t height_, GLuint depthStencil)
    : kind(kind_), width(width_), height(height_), framebuffer(FramebufferName::generate()) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    output = Texture(width, height, GL_RGBA16F, GL_FLOAT);
    attachColour(output.id);
    if (depthStencil != kNoDepthStencil) {
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  depthStencil);
    }
    const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        throw std::runtime_error(
            "kes::iPostProcessEffect::makeTextureAndBindToFBO - Failed: "
            "\"res == GL_FRAMEBUFFER_COMPLETE\"");
    }
}

PostProcessEffect_SSR::PostProcessEffect_SSR(const std::filesystem::path& assetsFolder,
                                             std::uint32_t width_, std::uint32_t height_,
                                             GLuint depthStencil, const CubeTexture& skybox_)
    : iPostProcessEffect(kReflections, width_, height_, depthStencil),
      program(makeProgram(assetsFolder, "SSR_ps", "progSSR")),
      passthroughLocation(program.uniformLocation("PASSTHROUGH")),
      skybox(skybox_) {}

// A plain copy of the input everywhere, then reflections over it where geometry is.
void PostProcessEffect_SSR::apply(const GBuffer& gbuffer, const GLuint* input,
                                  GlStateCache& state) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glUseProgram(program.id);
    gbuffer.bindTextures();
    bindTexture(unit::kReflectionImage, GL_TEXTURE_2D, *input);
    bindTexture(unit::kReflectionSky, GL_TEXTURE_CUBE_MAP, skybox.id);
    glBindVertexArray(vao.id);
    state.apply(kEverywhere);
    glUniform1ui(passthroughLocation, 1);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    state.apply(kCoveredPixels);
    glUniform1ui(passthroughLocation, 0);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    bindTexture(unit::kReflectionSky, GL_TEXTURE_CUBE_MAP, 0);
    bindTexture(unit::kReflectionImage, GL_TEXTURE_2D, 0);
    // The next frame draws into these G-buffer images: left bound, they would be read and
    // written at once.
    GBuffer::unbindTextures();
}

PostProcessEffect_Bloom::PostProcessEffect_Bloom(const std::filesystem::path& assetsFolder,
                                                 std::uint32_t width_, std::uint32_t height_,
                                                 GLuint depthStencil, std::uint32_t divisor)
    : iPostProcessEffect(kBloom, width_, height_, depthStencil),
      blurProgram(makeProgram(assetsFolder, "gaussianBlur_ps", "progApplyBlur",
                              divisor == 1 ? std::vector<std::string>{} : blurDefines(divisor))),
      applyProgram(makeProgram(assetsFolder, "ApplyBlur_ps", "progApplyBlur")),
      horizontalLocation(blurProgram.uniformLocation("horizontal")),
      brightnessProgram(
          makeProgram(assetsFolder, "makeBrightnessTexture_ps", "makeBrightnessTexture",
                      divisor == 1 ? std::vector<std::string>{} : brightDefines(divisor))),
      glowWidth(glowSide(width_, divisor)),
      glowHeight(glowSide(height_, divisor)) {
    makeBlurTextures();
    makeBlurFbos();
    brightness = Texture(glowWidth, glowHeight, GL_RGBA16F, GL_FLOAT);
    glBindTexture(GL_TEXTURE_2D, brightness.id);
    clampAtTheEdges();
    glBindTexture(GL_TEXTURE_2D, 0);
    makeFBOAndBindTexture();
}

void PostProcessEffect_Bloom::makeBlurTextures() {
    for (TextureName& texture : blurTextures) {
        texture = TextureName::generate();
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA16F, static_cast<GLsizei>(glowWidth),
                     static_cast<GLsizei>(glowHeight), 0, GL_RGBA, GL_FLOAT, nullptr);
        if (glGetError() != GL_NO_ERROR) {
            glBindTexture(GL_TEXTURE_2D, 0);
            throw std::runtime_error(
                "kes::PostProcessEffect_Bloom::makeBlurTextures - Failed: "
                "\"::glGetError() == GL_NO_ERROR\"");
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        clampAtTheEdges();
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
}

void PostProcessEffect_Bloom::makeBlurFbos() {
    for (std::size_t k = 0; k < 2; ++k) {
        blurFramebuffers[k] = FramebufferName::generate();
        glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[k]);
        attachColour(blurTextures[k]);
        const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        if (status != GL_FRAMEBUFFER_COMPLETE) {
            throw std::runtime_error(
                "kes::PostProcessEffect_Bloom::makeBlurFbos - Failed: "
                "\"status == GL_FRAMEBUFFER_COMPLETE\"");
        }
    }
}

void PostProcessEffect_Bloom::makeFBOAndBindTexture() {
    brightnessFramebuffer = FramebufferName::generate();
    glBindFramebuffer(GL_FRAMEBUFFER, brightnessFramebuffer);
    attachColour(brightness.id);
    const GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (status != GL_FRAMEBUFFER_COMPLETE) {
        throw std::runtime_error(
            "kes::PostProcessEffect_Bloom::makeFBOAndBindTexture - Failed: "
            "\"status == GL_FRAMEBUFFER_COMPLETE\"");
    }
}

void PostProcessEffect_Bloom::drawTriangle() const {
    glDrawArrays(GL_TRIANGLES, 0, 3);
}

// Bright parts, blurred by five horizontal and five vertical passes, added back to the input.
void PostProcessEffect_Bloom::apply(const GBuffer& /*gbuffer*/, const GLuint* input,
                                    GlStateCache& state) {
    state.apply(kEverywhere);
    glBindVertexArray(vao.id);

    if (glowWidth != width || glowHeight != height) {
        glViewport(0, 0, static_cast<GLsizei>(glowWidth), static_cast<GLsizei>(glowHeight));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, brightnessFramebuffer);
    glUseProgram(brightnessProgram.id);
    bindTexture(unit::kImage, GL_TEXTURE_2D, *input);
    drawTriangle();

    glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[0]);
    glUseProgram(blurProgram.id);
    bindTexture(unit::kImage, GL_TEXTURE_2D, brightness.id);
    for (int round = 0; round < kBlurRounds; ++round) {
        glUniform1ui(horizontalLocation, 1);
        drawTriangle();
        glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[1]);
        bindTexture(unit::kImage, GL_TEXTURE_2D, blurTextures[0]);
        glUniform1ui(horizontalLocation, 0);
        drawTriangle();
        glBindFramebuffer(GL_FRAMEBUFFER, blurFramebuffers[0]);
        bindTexture(unit::kImage, GL_TEXTURE_2D, blurTextures[1]);
    }

    if (glowWidth != width || glowHeight != height) {
        glViewport(0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glUseProgram(applyProgram.id);
    bindTexture(unit::kImage, GL_TEXTURE_2D, *input);
    bindTexture(unit::kGlow, GL_TEXTURE_2D, blurTextures[1]);
    drawTriangle();
    bindTexture(unit::kGlow, GL_TEXTURE_2D, 0);
    bindTexture(unit::kImage, GL_TEXTURE_2D, 0);
}

}  // namespace kes
