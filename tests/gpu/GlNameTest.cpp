// One shape for every GL object the game owns: move-only (copy deleted, moves that cannot
// throw and leave nothing behind), its name deleted by its owner and by nobody else.
#include "gpu/GlName.hpp"

#include <type_traits>
#include <utility>

#include "gpu/Buffers.hpp"
#include "gpu/Framebuffers.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "gpu/TransparencyBuffers.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "render/GpuPassTimer.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

template <typename T>
constexpr bool kOwnsLikeAGlObject =
    !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T> &&
    std::is_nothrow_move_constructible_v<T> && std::is_nothrow_move_assignable_v<T>;

static_assert(kOwnsLikeAGlObject<TextureName> && kOwnsLikeAGlObject<BufferName> &&
              kOwnsLikeAGlObject<FramebufferName> && kOwnsLikeAGlObject<ProgramName>);
static_assert(kOwnsLikeAGlObject<Texture> && kOwnsLikeAGlObject<CubeTexture>);
static_assert(kOwnsLikeAGlObject<FBO> && kOwnsLikeAGlObject<dsbuffer>);
static_assert(kOwnsLikeAGlObject<VAO> && kOwnsLikeAGlObject<UBO<perFrameData>>);
static_assert(kOwnsLikeAGlObject<shader> && kOwnsLikeAGlObject<Program>);
static_assert(kOwnsLikeAGlObject<TransparencyBuffers> && kOwnsLikeAGlObject<GpuPassTimer>);
static_assert(kOwnsLikeAGlObject<GBuffer> && kOwnsLikeAGlObject<shadowMaps>);

using GlNameTest = test::GlTest;

// The name lives exactly as long as its last owner: moves pass it on, a moved-from handle
// deletes nothing, and assigning over a handle deletes the name it held.
TEST_F(GlNameTest, ANameIsDeletedOnceByItsLastOwner) {
    TextureName first = TextureName::generate();
    const GLuint name = first;
    glBindTexture(GL_TEXTURE_2D, name);  // a name becomes a texture at its first binding
    glBindTexture(GL_TEXTURE_2D, 0);
    ASSERT_TRUE(glIsTexture(name));
    TextureName second = std::move(first);
    EXPECT_EQ(first.id(), 0u);
    {
        const TextureName third = std::move(second);
        EXPECT_TRUE(glIsTexture(name));
    }
    EXPECT_FALSE(glIsTexture(name));

    BufferName buffer = BufferName::generate();
    const GLuint old = buffer;
    glBindBuffer(GL_ARRAY_BUFFER, old);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    buffer = BufferName::generate();
    EXPECT_FALSE(glIsBuffer(old));
    EXPECT_NE(buffer.id(), old);
}

// A vertex array hands its buffers on when moved and deletes them when it goes.
TEST_F(GlNameTest, AVertexArrayOwnsItsBuffers) {
    GLuint vertices = 0;
    GLuint indices = 0;
    {
        VAO moved;
        {
            VAO mesh(std::vector<VertexPos>(3), {0, 1, 2});
            vertices = mesh.vertices.id;
            indices = mesh.indices.id;
            moved = std::move(mesh);
            EXPECT_EQ(mesh.vertices.id, 0u);
            EXPECT_EQ(mesh.indices.count, 0u);
        }
        EXPECT_TRUE(glIsBuffer(vertices));
        EXPECT_TRUE(glIsBuffer(indices));
        EXPECT_EQ(moved.vertices.id, vertices);
    }
    EXPECT_FALSE(glIsBuffer(vertices));
    EXPECT_FALSE(glIsBuffer(indices));
}

}  // namespace
}  // namespace kes
