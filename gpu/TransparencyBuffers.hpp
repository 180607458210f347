// Storage of the per-pixel linked lists that hold transparent fragments: a pool of 72-byte
// nodes, an atomic counter that hands them out, one head pointer per pixel, and a buffer of
// "empty list" values that resets the heads every frame.
#pragma once

#include <cstdint>

#include <GL/glew.h>

#include "gpu/Texture.hpp"

namespace kes {

inline constexpr std::uint32_t kTransparencyNodeSize = 72;  // bytes, shared with the shaders
inline constexpr std::uint32_t kEmptyList = 0xFFFFFFFFu;    // a head that points nowhere

class TransparencyBuffers {
public:
    TransparencyBuffers(std::uint32_t width, std::uint32_t height);
    ~TransparencyBuffers();
    TransparencyBuffers(const TransparencyBuffers&) = delete;
    TransparencyBuffers& operator=(const TransparencyBuffers&) = delete;

    // Heads on image unit 0, nodes on storage binding 0, the counter on counter binding 0.
    void bind() const;
    static void unbind();

    std::uint32_t width;
    std::uint32_t height;
    GLuint nodes = 0;
    GLuint counter = 0;
    Texture heads;  // GL_R32UI, one level
    GLuint clearBuffer = 0;

private:
    void makeSSBO();
    void makeCounter();
    void makeHeads();
    void makeClearBuffer();
    void release() noexcept;
};

}  // namespace kes
