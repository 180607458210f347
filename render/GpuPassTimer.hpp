// GPU time of the frame's passes, from GL timer queries. The renderer brackets each pass when
// a timer is attached; whoever attached it reads the figures after the frame has finished on
// the GPU (collect() waits for it).
#pragma once

#include <array>
#include <cstdint>

#include <GL/glew.h>

#include "gpu/GlName.hpp"

namespace kes {

enum class RenderPass : std::uint8_t {
    Shadow,
    Geometry,
    Transparency,
    Lighting,
    Bloom,
    Reflections,
    Overlays,
    Final,
    Count
};

inline constexpr std::size_t kRenderPassCount = static_cast<std::size_t>(RenderPass::Count);

const char* renderPassName(RenderPass pass);

class GpuPassTimer {
public:
    GpuPassTimer();

    // Passes must not nest; a pass timed twice in one frame adds up.
    void begin(RenderPass pass);
    void end();

    // Milliseconds per pass of the frame just drawn (0 for passes that did not run); starts
    // the next frame's count.
    std::array<double, kRenderPassCount> collect();

private:
    struct Query {
        QueryName id;
        bool used = false;
    };
    // Up to four timings of one pass a frame (the effects run several draws).
    static constexpr std::size_t kQueriesPerPass = 4;
    std::array<std::array<Query, kQueriesPerPass>, kRenderPassCount> m_queries{};
    std::array<std::size_t, kRenderPassCount> m_usedCount{};
    bool m_running = false;
};

// Times one pass for as long as it lives; does nothing without a timer.
class ScopedPassTimer {
public:
    ScopedPassTimer(GpuPassTimer* timer, RenderPass pass) : m_timer(timer) {
        if (m_timer != nullptr) {
            m_timer->begin(pass);
        }
    }
    ~ScopedPassTimer() {
        if (m_timer != nullptr) {
            m_timer->end();
        }
    }
    ScopedPassTimer(const ScopedPassTimer&) = delete;
    ScopedPassTimer& operator=(const ScopedPassTimer&) = delete;

private:
    GpuPassTimer* m_timer;
};

}  // namespace kes
