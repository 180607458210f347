#include "gpu/TransparencyBuffers.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

#include "gpu/Bindings.hpp"
#include "gpu/GlErrors.hpp"
#include "gpu/GlState.hpp"

namespace kes {
namespace {

[[noreturn]] void fail(const char* message) {
    throw std::runtime_error(message);
}

}  // namespace

std::uint64_t transparencyPoolNodes(std::uint64_t pixels, std::uint64_t blockLimitBytes) {
    const auto wanted = static_cast<std::uint64_t>(
        std::ceil(double(pixels) * kTransparencyPeakNodesPerPixel * kTransparencyPoolMargin));
    const std::uint64_t limit = std::min(blockLimitBytes, kTransparencyPoolBudget);
    return std::min(wanted, limit / kTransparencyNodeSize);
}

TransparencyBuffers::TransparencyBuffers(std::uint32_t width_, std::uint32_t height_)
    : width(width_), height(height_) {
    // An error some earlier call left in the flags would otherwise be blamed on the pool.
    takeEarlierGlErrors("the fragment list buffers");
    // A step that throws leaves what the earlier ones made to the members' own destructors.
    makeSSBO();
    makeCounter();
    makeHeads();
    makeClearBuffer();
}

void TransparencyBuffers::makeSSBO() {
    // Counted in 64 bits: in 32 bits a huge target would wrap round to a small pool that the
    // shaders, which index it by pixel count, would overrun.
    const std::uint64_t pixels = std::uint64_t{width} * height;
    GLint64 blockLimit = 0;
    glGetInteger64v(GL_MAX_SHADER_STORAGE_BLOCK_SIZE, &blockLimit);
    // The heads and their "empty" copy take 4 bytes a pixel: a target whose heads a GL size
    // cannot express fails here, before anything is allocated.
    if (pixels * sizeof(std::uint32_t) >
        static_cast<std::uint64_t>(std::numeric_limits<GLint>::max())) {
        fail("kes::SSBO::makeSSBO - Failed: \"bufSize >= (int)size\"");
    }
    nodeCapacity =
        transparencyPoolNodes(pixels, static_cast<std::uint64_t>(std::max<GLint64>(blockLimit, 0)));
    if (nodeCapacity == 0) {
        fail("kes::SSBO::makeSSBO - Failed: \"bufSize >= (int)size\"");
    }
    const std::uint64_t size = nodeCapacity * kTransparencyNodeSize;
    if (size > static_cast<std::uint64_t>(std::numeric_limits<GLint>::max())) {
        fail("kes::SSBO::makeSSBO - Failed: \"bufSize >= (int)size\"");
    }
    nodes = BufferName::generate();
    if (nodes == 0) {
        fail("kes::SSBO::makeSSBO - glGenBuffers() failed");
    }
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, nodes);
    glBufferData(GL_SHADER_STORAGE_BUFFER, static_cast<GLsizeiptr>(size), nullptr, GL_DYNAMIC_DRAW);
    GLint bufSize = 0;
    if (glGetError() == GL_NO_ERROR) {
        glGetBufferParameteriv(GL_SHADER_STORAGE_BUFFER, GL_BUFFER_SIZE, &bufSize);
    }
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
    if (failed) {
        fail("kes::SSBO::makeSSBO - Failed: \"::glGetError() == GL_NO_ERROR\"");
    }
    if (bufSize < static_cast<GLint>(size)) {
        fail("kes::SSBO::makeSSBO - Failed: \"bufSize >= (int)size\"");
    }
    labelObject(GL_BUFFER, nodes, "fragment list nodes");
}

void TransparencyBuffers::makeCounter() {
    constexpr const char* kFailed =
        "kes::ACB::makeBuffer - Failed: \"::glGetError() == GL_NO_ERROR\"";
    counter = BufferName::generate();
    if (glGetError() != GL_NO_ERROR) {
        fail(kFailed);
    }
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counter);
    glBufferData(GL_ATOMIC_COUNTER_BUFFER, sizeof(std::uint32_t), nullptr, GL_DYNAMIC_DRAW);
    labelObject(GL_BUFFER, counter, "fragment list node counter");
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    if (failed) {
        fail(kFailed);
    }
}

void TransparencyBuffers::makeHeads() {
    heads.inverseWidth = 1.0f / static_cast<float>(width);
    heads.inverseHeight = 1.0f / static_cast<float>(height);
    heads.id = TextureName::generate();
    glBindTexture(GL_TEXTURE_2D, heads.id);
    glTexStorage2D(GL_TEXTURE_2D, 1, GL_R32UI, static_cast<GLsizei>(width),
                   static_cast<GLsizei>(height));
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindTexture(GL_TEXTURE_2D, 0);
    if (heads.id == 0 || failed) {
        fail("kes::Texture::Texture - Failed: \"::glGetError() == GL_NO_ERROR\"");
    }
    labelObject(GL_TEXTURE, heads.id, "fragment list heads");
}

void TransparencyBuffers::makeClearBuffer() {
    const std::vector<std::uint32_t> emptyHeads(static_cast<std::size_t>(width) * height,
                                                kEmptyList);
    clearBuffer = BufferName::generate();
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, clearBuffer);
    glBufferData(GL_PIXEL_UNPACK_BUFFER,
                 static_cast<GLsizeiptr>(emptyHeads.size() * sizeof(std::uint32_t)),
                 emptyHeads.data(), GL_STATIC_COPY);
    const bool failed = glGetError() != GL_NO_ERROR;
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    if (clearBuffer == 0 || failed) {
        fail("kes::PBO::makeBuffer - Failed: \"::glGetError() == GL_NO_ERROR\"");
    }
}

void TransparencyBuffers::bind() const {
    glBindImageTexture(binding::kListHeads, heads.id, 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32UI);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, binding::kFragmentNodes, nodes);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, counter);
}

std::uint32_t TransparencyBuffers::readNodeCounter() const {
    glMemoryBarrier(GL_BUFFER_UPDATE_BARRIER_BIT);
    std::uint32_t used = 0;
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, counter);
    glGetBufferSubData(GL_ATOMIC_COUNTER_BUFFER, 0, sizeof(used), &used);
    glBindBuffer(GL_ATOMIC_COUNTER_BUFFER, 0);
    return used;
}

void TransparencyBuffers::unbind() {
    glBindImageTexture(binding::kListHeads, 0, 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32UI);
    glBindBufferBase(GL_SHADER_STORAGE_BUFFER, binding::kFragmentNodes, 0);
    glBindBufferBase(GL_ATOMIC_COUNTER_BUFFER, binding::kNodeCounter, 0);
}

}  // namespace kes
