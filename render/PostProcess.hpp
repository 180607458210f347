// Post-processing effects: each reads the current HDR image and writes a new one of the same
// size into its own framebuffer, which shares the scene's depth and stencil. Bloom spreads the
// bright parts of the picture into a glow; screen-space reflections mirror the picture in the
// shiny surfaces of the scene.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <limits>

#include <GL/glew.h>

#include "gpu/Buffers.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"

namespace kes {

inline constexpr GLuint kNoDepthStencil = std::numeric_limits<GLuint>::max();

class iPostProcessEffect {
public:
    enum Kind : std::uint8_t { kReflections = 1, kBloom = 2 };

    // The output image and its framebuffer, sharing `depthStencil` unless it is
    // kNoDepthStencil.
    iPostProcessEffect(std::uint8_t kind_, std::uint32_t width_, std::uint32_t height_,
                       GLuint depthStencil);
    virtual ~iPostProcessEffect() = default;
    iPostProcessEffect(const iPostProcessEffect&) = delete;
    iPostProcessEffect& operator=(const iPostProcessEffect&) = delete;

    // Draws the effect of `*input` into `output`, setting GL state through `state`; leaves
    // `framebuffer` bound.
    virtual void apply(const GBuffer& gbuffer, const GLuint* input, GlStateCache& state) = 0;

    std::uint8_t kind;
    std::uint32_t width;
    std::uint32_t height;
    FramebufferName framebuffer;
    Texture output;
};

class PostProcessEffect_SSR final : public iPostProcessEffect {
public:
    // Rays that leave the screen reflect `skybox`, which must outlive the effect.
    PostProcessEffect_SSR(const std::filesystem::path& assetsFolder, std::uint32_t width,
                          std::uint32_t height, GLuint depthStencil, const CubeTexture& skybox);

    void apply(const GBuffer& gbuffer, const GLuint* input, GlStateCache& state) override;

    Program program;
    VAO vao;
    GLint passthroughLocation;
    const CubeTexture& skybox;
};

class PostProcessEffect_Bloom final : public iPostProcessEffect {
public:
    static constexpr int kBlurRounds = 5;  // each a horizontal and a vertical pass

    // The glow is made at 1/`divisor` of the picture's width and height (a power of two): the
    // bright parts are read from the input's mip level of that size.
    PostProcessEffect_Bloom(const std::filesystem::path& assetsFolder, std::uint32_t width,
                            std::uint32_t height, GLuint depthStencil, std::uint32_t divisor = 1);

    void apply(const GBuffer& gbuffer, const GLuint* input, GlStateCache& state) override;

    Program blurProgram;
    Program applyProgram;
    VAO vao;
    GLint horizontalLocation;
    std::array<TextureName, 2> blurTextures;
    std::array<FramebufferName, 2> blurFramebuffers;
    Program brightnessProgram;
    Texture brightness;
    FramebufferName brightnessFramebuffer;
    std::uint32_t glowWidth;
    std::uint32_t glowHeight;

private:
    void makeBlurTextures();
    void makeBlurFbos();
    void makeFBOAndBindTexture();
    void drawTriangle() const;
};

}  // namespace kes
