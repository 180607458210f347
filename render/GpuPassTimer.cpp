#include "render/GpuPassTimer.hpp"

#include <stdexcept>

namespace kes {

const char* renderPassName(RenderPass pass) {
    switch (pass) {
        case RenderPass::Shadow: return "shadow";
        case RenderPass::Geometry: return "geometry";
        case RenderPass::Transparency: return "transparency";
        case RenderPass::Lighting: return "lighting";
        case RenderPass::Bloom: return "bloom";
        case RenderPass::Reflections: return "reflections";
        case RenderPass::Overlays: return "overlays and text";
        case RenderPass::Final: return "final";
        case RenderPass::Count: break;
    }
    return "?";
}

GpuPassTimer::GpuPassTimer() {
    for (auto& pass : m_queries) {
        for (Query& query : pass) {
            query.id = QueryName::generate();
        }
    }
}

void GpuPassTimer::begin(RenderPass pass) {
    if (m_running) {
        throw std::logic_error("kes::GpuPassTimer::begin - passes must not nest");
    }
    const auto index = static_cast<std::size_t>(pass);
    std::size_t& used = m_usedCount[index];
    if (used == kQueriesPerPass) {
        return;  // beyond what one frame can time; the pass goes uncounted
    }
    Query& query = m_queries[index][used++];
    query.used = true;
    glBeginQuery(GL_TIME_ELAPSED, query.id);
    m_running = true;
}

void GpuPassTimer::end() {
    if (m_running) {
        glEndQuery(GL_TIME_ELAPSED);
        m_running = false;
    }
}

std::array<double, kRenderPassCount> GpuPassTimer::collect() {
    std::array<double, kRenderPassCount> milliseconds{};
    for (std::size_t pass = 0; pass < kRenderPassCount; ++pass) {
        for (Query& query : m_queries[pass]) {
            if (!query.used) {
                continue;
            }
            GLuint64 nanoseconds = 0;
            glGetQueryObjectui64v(query.id, GL_QUERY_RESULT, &nanoseconds);
            milliseconds[pass] += static_cast<double>(nanoseconds) * 1e-6;
            query.used = false;
        }
        m_usedCount[pass] = 0;
    }
    return milliseconds;
}

}  // namespace kes
