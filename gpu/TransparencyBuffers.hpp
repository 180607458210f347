// Storage of the per-pixel linked lists that hold transparent fragments: a pool of 72-byte
// nodes, an atomic counter that hands them out, one head pointer per pixel, and a buffer of
// "empty list" values that resets the heads every frame.
//
// How the pool is sized. Over a whole demo round at 320 x 240 a frame asked for at most 3.05
// nodes a pixel (the highest of three measured rounds; one-pixel wires cover more of a small
// picture, so larger pictures need fewer: the first frames at 1920 x 1080 asked for 1.06). The
// pool holds that with a margin of 1.25, 3.81 nodes a pixel, capped by the driver's largest
// storage block and by a budget of 768 MiB:
//
//     picture        nodes                                   pool
//     1280 x 720      3 513 600 (3.81 a pixel)              241 MiB
//     1920 x 1080     7 905 600 (3.81 a pixel)              543 MiB
//     3840 x 2160    11 184 810 (1.35 a pixel, the budget)  768 MiB
//
// Mesa's software rasteriser allows storage blocks of 128 MiB only, so there the pool is at most
// 1 864 135 nodes (0.9 a pixel at 1920 x 1080). Above those sizes a view through many walls
// asks for more than the pool holds; see kTransparencyPoolBudget for what the player sees then.
#pragma once

#include <cstdint>

#include <GL/glew.h>

#include "gpu/GlName.hpp"
#include "gpu/Texture.hpp"

namespace kes {

inline constexpr std::uint32_t kTransparencyNodeSize = 72;  // bytes, shared with the shaders
// The most nodes a frame asked for, a pixel on average, over a whole demo round at 320 x 240
// (the demo prints its peak): from inside the tube every pixel looks through a wall's skin,
// and through its wire frame and further walls where the course bends. One-pixel wires cover
// more of a small picture, so larger pictures need fewer a pixel than this.
inline constexpr double kTransparencyPeakNodesPerPixel = 3.05;
// Headroom over that peak for views the demo's line does not take.
inline constexpr double kTransparencyPoolMargin = 1.25;
// The pool never takes more video memory than this, whatever the window size. When a frame
// asks for more nodes than the pool holds, the fragments that arrive after it is full are
// dropped, whatever their depth (the lists stay well formed): the player sees holes in the
// tube's skin and wires where the view looks through many walls at once.
inline constexpr std::uint64_t kTransparencyPoolBudget = 768ull * 1024 * 1024;
inline constexpr std::uint32_t kEmptyList = 0xFFFFFFFFu;  // a head that points nowhere

// Nodes for a target of `pixels`: the peak with its margin, capped by the budget and by the
// driver's largest storage block (`blockLimitBytes`). Counted in 64 bits throughout.
std::uint64_t transparencyPoolNodes(std::uint64_t pixels, std::uint64_t blockLimitBytes);

class TransparencyBuffers {
public:
    TransparencyBuffers(std::uint32_t width, std::uint32_t height);

    // Heads on image unit 0, nodes on storage binding 0, the counter on counter binding 0.
    void bind() const;
    static void unbind();
    // Nodes the last frame asked for, dropped ones included; waits for the GPU to finish it.
    std::uint32_t readNodeCounter() const;
    std::uint64_t poolBytes() const { return nodeCapacity * kTransparencyNodeSize; }

    std::uint32_t width;
    std::uint32_t height;
    std::uint64_t nodeCapacity = 0;  // fragments a frame can hold; the shaders drop the rest
    BufferName nodes;
    BufferName counter;
    Texture heads;  // GL_R32UI, one level
    BufferName clearBuffer;

private:
    void makeSSBO();
    void makeCounter();
    void makeHeads();
    void makeClearBuffer();
};

}  // namespace kes
