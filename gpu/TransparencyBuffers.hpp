// Storage of the per-pixel linked lists that hold transparent fragments: a pool of 72-byte
// nodes, an atomic counter that hands them out, one head pointer per pixel, and a buffer of
// "empty list" values that resets the heads every frame.
#pragma once

#include <cstdint>

#include <GL/glew.h>

#include "gpu/Texture.hpp"

namespace kes {

inline constexpr std::uint32_t kTransparencyNodeSize = 72;  // bytes, shared with the shaders
// Seen from inside the tube every pixel looks through at least one wall, wire frame and skin,
// so one node a pixel runs out; the pool holds this many a pixel where the driver's limit on
// one storage block allows, and at least one a pixel.
inline constexpr std::uint32_t kTransparencyNodesPerPixel = 4;
inline constexpr std::uint32_t kEmptyList = 0xFFFFFFFFu;  // a head that points nowhere

class TransparencyBuffers {
public:
    TransparencyBuffers(std::uint32_t width, std::uint32_t height);
    ~TransparencyBuffers();
    TransparencyBuffers(const TransparencyBuffers&) = delete;
    TransparencyBuffers& operator=(const TransparencyBuffers&) = delete;

    // Heads on image unit 0, nodes on storage binding 0, the counter on counter binding 0.
    void bind() const;
    static void unbind();
    // Nodes the last frame asked for, dropped ones included; waits for the GPU to finish it.
    std::uint32_t readNodeCounter() const;
    std::uint64_t poolBytes() const { return nodeCapacity * kTransparencyNodeSize; }

    std::uint32_t width;
    std::uint32_t height;
    std::uint64_t nodeCapacity = 0;  // fragments a frame can hold; the shaders drop the rest
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
