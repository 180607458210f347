#include "gpu/Framebuffers.hpp"

#include "gpu/Shader.hpp"
#include "gpu/Buffers.hpp"
#include "gpu/FrameCapture.hpp"
#include "support/Failure.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using FramebuffersTest = test::GlTest;

GLint boundFramebuffer() {
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    return bound;
}

GLint attachmentName(GLuint framebuffer, GLenum attachment) {
    GLint name = 0;
    glGetNamedFramebufferAttachmentParameteriv(framebuffer, attachment,
                                               GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &name);
    return name;
}

TEST_F(FramebuffersTest, TheGBufferHasThreeColoursAndTheSharedDepthStencil) {
    const dsbuffer depthStencil(320, 200);
    const GBuffer gbuffer(320, 200, depthStencil.id);
    EXPECT_EQ(boundFramebuffer(), 0);
    EXPECT_EQ(glCheckNamedFramebufferStatus(gbuffer.fbo.id, GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(attachmentName(gbuffer.fbo.id, GL_COLOR_ATTACHMENT0),
              static_cast<GLint>(gbuffer.colour0.id));
    EXPECT_EQ(attachmentName(gbuffer.fbo.id, GL_COLOR_ATTACHMENT2),
              static_cast<GLint>(gbuffer.colour2.id));
    EXPECT_EQ(attachmentName(gbuffer.fbo.id, GL_DEPTH_STENCIL_ATTACHMENT),
              static_cast<GLint>(depthStencil.id));
    GLint format = 0;
    glGetTextureLevelParameteriv(gbuffer.colour1.id, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_RGBA32F);
    EXPECT_EQ(gbuffer.clearColor, glm::vec3(0.0f));

    gbuffer.bindTextures();
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE2);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(FramebuffersTest, TheFinalAndDepthOnlyFramebuffersBorrowTheDepthStencil) {
    const dsbuffer depthStencil(64, 64);
    const finalFramebuffer final(64, 64, depthStencil.id);
    EXPECT_EQ(boundFramebuffer(), 0);
    EXPECT_EQ(final.clearColor, glm::vec3(1.0f));
    EXPECT_EQ(attachmentName(final.fbo.id, GL_DEPTH_STENCIL_ATTACHMENT),
              static_cast<GLint>(depthStencil.id));

    FBO depthOnly;
    depthOnly.makeFramebufferWithDStencil(depthStencil.id);
    EXPECT_EQ(boundFramebuffer(), 0);
    EXPECT_EQ(glCheckNamedFramebufferStatus(depthOnly.id, GL_FRAMEBUFFER),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    GLint type = -1;
    glGetNamedFramebufferAttachmentParameteriv(depthOnly.id, GL_COLOR_ATTACHMENT0,
                                               GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    EXPECT_EQ(type, GL_NONE);
}

TEST_F(FramebuffersTest, AnImpossibleDepthStencilSizeFails) {
    allowDriverErrors();
    EXPECT_EQ(test::failureOf([] { dsbuffer(1u << 20, 1u << 20); }),
              "kes::dsbuffer::dsbuffer - Failed: \"::glGetError() == GL_NO_ERROR\"");
}

// Samples every layer of the shadow-map array through a shadow sampler at one reference depth.
TEST_F(FramebuffersTest, ShadowMapsStartClearedAndCompareDepths) {
    const shadowMaps maps;
    EXPECT_EQ(boundFramebuffer(), 0);
    GLint maxLevel = -1;
    glGetTextureParameteriv(maps.textureArrayId, GL_TEXTURE_MAX_LEVEL, &maxLevel);
    EXPECT_EQ(maxLevel, 0);
    GLint layers = 0;
    glGetTextureLevelParameteriv(maps.textureArrayId, 0, GL_TEXTURE_DEPTH, &layers);
    EXPECT_EQ(layers, 10);
    EXPECT_EQ(maps.viewport.width, 1024);

    writeShader("full_vs",
                "#version 430 core\nvoid main() {\n"
                "    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);\n"
                "    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);\n}\n");
    writeShader("shadow_ps",
                "#version 430 core\nlayout(binding = 3) uniform sampler2DArrayShadow maps;\n"
                "uniform float reference;\nout vec4 colour;\n"
                "void main() {\n    float lit = 0.0;\n"
                "    for (int layer = 0; layer < 10; ++layer)\n"
                "        lit += texture(maps, vec4(0.5, 0.5, layer, reference));\n"
                "    colour = vec4(lit / 10.0);\n}\n");
    const Program program(makeShaderPath(assets.path(), "full_vs"),
                          makeShaderPath(assets.path(), "shadow_ps"), "shadow");
    const VAO fullscreen;
    glViewport(0, 0, 256, 256);
    glUseProgram(program.id);
    glActiveTexture(GL_TEXTURE3);
    glBindTexture(GL_TEXTURE_2D_ARRAY, maps.textureArrayId);
    for (const auto& [reference, expected] : {std::pair{0.5f, 255}, std::pair{1.0f, 255}}) {
        glUniform1f(program.uniformLocation("reference"), reference);
        glBindVertexArray(fullscreen.id);
        glDrawArrays(GL_TRIANGLES, 0, 3);
        EXPECT_EQ(captureFramebuffer(0, GL_BACK, 256, 256).at(128, 128).r, expected)
            << "reference " << reference;
    }
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glActiveTexture(GL_TEXTURE0);
}

}  // namespace
}  // namespace kes
