#include "platform/GlDebugLog.hpp"

#include "platform/OpenGL.hpp"

namespace kes {
namespace {

std::size_t slotOf(GLenum severity) {
    switch (severity) {
        case GL_DEBUG_SEVERITY_HIGH: return 0;
        case GL_DEBUG_SEVERITY_MEDIUM: return 1;
        case GL_DEBUG_SEVERITY_LOW: return 2;
        default: return 3;
    }
}

}  // namespace

void GlDebugLog::record(GLenum source, GLenum type, GLuint id, GLenum severity,
                        const char* message) {
    ++m_counts[slotOf(severity)];
    if (m_first.size() < kKeptMessages) {
        m_first.push_back(debugSeverityName(severity) + " " + debugTypeName(type) + " from " +
                          debugSourceName(source) + " (ID " + std::to_string(id) +
                          "): " + (message != nullptr ? message : ""));
    }
}

std::uint64_t GlDebugLog::total() const {
    return m_counts[0] + m_counts[1] + m_counts[2] + m_counts[3];
}

std::uint64_t GlDebugLog::count(GLenum severity) const {
    return m_counts[slotOf(severity)];
}

bool GlDebugLog::hasProblems() const {
    return m_counts[0] + m_counts[1] > 0;
}

std::string GlDebugLog::summary() const {
    return "GL debug messages: " + std::to_string(total()) + " (high " +
           std::to_string(m_counts[0]) + ", medium " + std::to_string(m_counts[1]) + ", low " +
           std::to_string(m_counts[2]) + ", notification " + std::to_string(m_counts[3]) + ")";
}

}  // namespace kes
