#include "gpu/Buffers.hpp"

#include <cmath>
#include <type_traits>

#include "gpu/FrameCapture.hpp"
#include "gpu/Shader.hpp"
#include "gpu/TransparencyBuffers.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "support/Failure.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using test::failureOf;
using test::GlTest;

static_assert(!std::is_copy_constructible_v<VAO> && std::is_nothrow_move_constructible_v<VAO>);
static_assert(!std::is_copy_constructible_v<UBO<perFrameData>>);
static_assert(!std::is_copy_constructible_v<TransparencyBuffers>);

using BuffersTest = GlTest;

GLint boundVertexArray() {
    GLint bound = -1;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
    return bound;
}

TEST_F(BuffersTest, GeometryKeepsItsIndexBufferAttachedAndLeavesNoArrayBound) {
    const std::vector<MeshVertex> vertices(3);
    const VAO mesh(vertices, {0, 1, 2, 2, 1, 0});
    EXPECT_EQ(boundVertexArray(), 0);
    EXPECT_NE(mesh.id, 0u);
    EXPECT_EQ(mesh.vertices.count, 3u);
    EXPECT_EQ(mesh.indices.count, 6u);

    glBindVertexArray(mesh.id);
    GLint elementBuffer = 0;
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING, &elementBuffer);
    GLint stride = 0;
    glGetVertexAttribiv(4, GL_VERTEX_ATTRIB_ARRAY_STRIDE, &stride);
    GLint uvComponents = 0;
    glGetVertexAttribiv(4, GL_VERTEX_ATTRIB_ARRAY_SIZE, &uvComponents);
    glBindVertexArray(0);
    EXPECT_EQ(static_cast<GLuint>(elementBuffer), mesh.indices.id);
    EXPECT_EQ(stride, 56);
    EXPECT_EQ(uvComponents, 2);
}

TEST_F(BuffersTest, AnEmptyVertexListFailsForEveryVertexType) {
    const std::string expected = "kes::vbo::createVertexbuffer - No vertices speicified";
    EXPECT_EQ(failureOf([] { VAO(std::vector<VertexPos>{}, {}); }), expected);
    EXPECT_EQ(failureOf([] { VAO(std::vector<VertexPosColor>{}); }), expected);
    EXPECT_EQ(failureOf([] { VAO(std::vector<VertexPosUV>{}, {}); }), expected);
    EXPECT_EQ(failureOf([] { VAO(std::vector<VertexPosVec3>{}, {}); }), expected);
    EXPECT_EQ(failureOf([] { VAO(std::vector<VertexPosNormalUV>{}, {}); }), expected);
    EXPECT_EQ(failureOf([] { VAO(std::vector<MeshVertex>{}, {0}); }), expected);
    EXPECT_EQ(boundVertexArray(), 0);
}

TEST_F(BuffersTest, ABufferWithoutAVertexArrayRecordsNoLayout) {
    const std::vector<VertexPosUV> vertices(5);
    GLuint id = vbo::createVertexbuffer(vertices, 0);
    ASSERT_NE(id, 0u);
    GLint size = 0;
    glGetNamedBufferParameteriv(id, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 5 * 20);
    glDeleteBuffers(1, &id);
    EXPECT_EQ(vbo::createIndexbuffer({}, 0).id, 0u);
}

TEST_F(BuffersTest, MovingHandsTheNamesOverAndLeavesZeros) {
    VAO first(std::vector<VertexPos>(3), {0, 1, 2});
    const GLuint id = first.id;
    VAO second(std::move(first));
    EXPECT_EQ(first.id, 0u);
    EXPECT_EQ(first.vertices.id, 0u);
    EXPECT_EQ(first.indices.id, 0u);
    EXPECT_EQ(second.id, id);
    VAO third;
    third = std::move(second);
    EXPECT_EQ(third.id, id);
    EXPECT_TRUE(glIsVertexArray(id));
}

// Draws one full-window triangle with `vertexShader` and the colour it computes.
class DrawingTest : public GlTest {
protected:
    Program program(const std::string& vertexSource) {
        writeShader("probe_vs", vertexSource);
        writeShader("probe_ps",
                    "#version 430 core\nin vec4 colour;\nout vec4 fragColour;\n"
                    "void main() { fragColour = colour; }\n");
        return Program(makeShaderPath(assets.path(), "probe_vs"),
                       makeShaderPath(assets.path(), "probe_ps"), "probe");
    }
    glm::u8vec4 centrePixel() { return captureFramebuffer(0, GL_BACK, 256, 256).at(128, 128); }
};

TEST_F(DrawingTest, APackedColourReachesTheShaderAsAnUnsignedInteger) {
    const Program probe = program(
        "#version 430 core\nlayout(location = 0) in vec3 position;\n"
        "layout(location = 1) in uint packedColour;\nout vec4 colour;\n"
        "void main() {\n"
        "    colour = vec4(float((packedColour >> 16) & 255u), float((packedColour >> 8) & 255u),\n"
        "                  float(packedColour & 255u), 255.0) / 255.0;\n"
        "    gl_Position = vec4(position, 1.0);\n}\n");
    const std::uint32_t orange = 0xFF8040;
    const VAO triangle(std::vector<VertexPosColor>{
        {{-1, -1, 0}, orange}, {{3, -1, 0}, orange}, {{-1, 3, 0}, orange}});
    glViewport(0, 0, 256, 256);
    glUseProgram(probe.id);
    triangle.draw(GL_TRIANGLES);
    EXPECT_EQ(centrePixel(), glm::u8vec4(255, 128, 64, 255));
}

TEST_F(DrawingTest, GeometryWithoutIndicesIsDrawnOverAllItsVertices) {
    const Program probe = program(
        "#version 430 core\nlayout(location = 0) in vec3 position;\n"
        "layout(location = 1) in vec2 uv;\nout vec4 colour;\n"
        "void main() { colour = vec4(uv, 0.0, 1.0); gl_Position = vec4(position, 1.0); }\n");
    const VAO triangle(
        std::vector<VertexPosUV>{{{-1, -1, 0}, {1, 0}}, {{3, -1, 0}, {1, 0}}, {{-1, 3, 0}, {1, 0}}},
        {});
    EXPECT_EQ(triangle.indices.id, 0u);
    glViewport(0, 0, 256, 256);
    glUseProgram(probe.id);
    triangle.draw(GL_TRIANGLES);
    EXPECT_EQ(centrePixel(), glm::u8vec4(255, 0, 0, 255));
}

TEST_F(BuffersTest, UniformBlocksHaveTheirSizesDefaultsAndBindings) {
    UBO<perFrameData> frame(0);
    UBO<lightBuffer> lights(1);
    UBO<shadowBuffer> shadows(2);
    GLint size = 0;
    glGetNamedBufferParameteriv(frame.id, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 480);  // the 476 bytes of the block, rounded up to whole 16 as std140 does
    glGetNamedBufferParameteriv(lights.id, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 816);
    glGetNamedBufferParameteriv(shadows.id, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 1296);

    perFrameData onGpu;
    glGetNamedBufferSubData(frame.id, 0, sizeof(onGpu), &onGpu);
    EXPECT_EQ(onGpu.viewProj, glm::mat4(1.0f));
    EXPECT_EQ(onGpu.view, glm::mat4(0.0f));
    EXPECT_EQ(onGpu.width, 1u);

    frame.data.time = 12.5f;
    frame.data.height = 720;
    frame.upload();
    glGetNamedBufferSubData(frame.id, 0, sizeof(onGpu), &onGpu);
    EXPECT_EQ(onGpu.time, 12.5f);
    EXPECT_EQ(onGpu.height, 720u);

    frame.bind();
    GLint bound = 0;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), frame.id);
}

// The pool follows the measured peak, and neither the budget nor the driver's block limit is
// ever exceeded, also at sizes whose node count would not fit 32 bits.
TEST(TransparencyPool, FollowsThePeakWithinTheBudgetAndTheDriversLimit) {
    const std::uint64_t unlimited = std::uint64_t{1} << 40;
    const std::uint64_t hd = 1280u * 720u;
    EXPECT_EQ(transparencyPoolNodes(hd, unlimited),
              static_cast<std::uint64_t>(std::ceil(double(hd) * kTransparencyPeakNodesPerPixel *
                                                   kTransparencyPoolMargin)));
    for (const std::uint64_t pixels : {3840ull * 2160ull, 65536ull * 65536ull}) {
        EXPECT_EQ(transparencyPoolNodes(pixels, unlimited) * kTransparencyNodeSize,
                  kTransparencyPoolBudget / kTransparencyNodeSize * kTransparencyNodeSize);
    }
    EXPECT_EQ(transparencyPoolNodes(hd, 128u * 1024 * 1024), 128u * 1024 * 1024 / 72);
    EXPECT_EQ(transparencyPoolNodes(hd, 0), 0u);
}

TEST_F(BuffersTest, TransparencyStorageHoldsNodesForEveryPixelAndEmptyHeads) {
    {
        // The measured peak with its margin where the driver allows a block that large.
        const TransparencyBuffers small(640, 480);
        GLint64 blockLimit = 0;
        glGetInteger64v(GL_MAX_SHADER_STORAGE_BLOCK_SIZE, &blockLimit);
        EXPECT_EQ(small.nodeCapacity,
                  transparencyPoolNodes(640u * 480u, static_cast<std::uint64_t>(blockLimit)));
        EXPECT_GE(small.nodeCapacity, 640u * 480u);
    }
    TransparencyBuffers storage(1280, 720);
    GLint size = 0;
    glGetNamedBufferParameteriv(storage.nodes, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(static_cast<std::uint64_t>(size), storage.nodeCapacity * 72u);
    EXPECT_GE(storage.nodeCapacity, 1280u * 720u);
    glGetNamedBufferParameteriv(storage.counter, GL_BUFFER_SIZE, &size);
    EXPECT_EQ(size, 4);
    std::uint32_t lastHeads[4] = {};
    glGetNamedBufferSubData(storage.clearBuffer, (1280 * 720 - 4) * 4, sizeof(lastHeads),
                            lastHeads);
    for (const std::uint32_t head : lastHeads) {
        EXPECT_EQ(head, kEmptyList);
    }
    GLint format = 0;
    glGetTextureLevelParameteriv(storage.heads.id, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_R32UI);
    EXPECT_FLOAT_EQ(storage.heads.inverseWidth, 1.0f / 1280.0f);

    storage.bind();
    GLint bound = 0;
    glGetIntegeri_v(GL_SHADER_STORAGE_BUFFER_BINDING, 0, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), storage.nodes);
    TransparencyBuffers::unbind();
    glGetIntegeri_v(GL_ATOMIC_COUNTER_BUFFER_BINDING, 0, &bound);
    EXPECT_EQ(bound, 0);
}

TEST_F(BuffersTest, ATargetTooLargeToAddressFailsInsteadOfWrappingRound) {
    try {
        TransparencyBuffers storage(65536, 65536);
        FAIL() << "a pool of 300 GB was accepted";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(), "kes::SSBO::makeSSBO - Failed: \"bufSize >= (int)size\"");
    }
}

}  // namespace
}  // namespace kes
