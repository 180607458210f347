#include "platform/GlDebugLog.hpp"

#include <algorithm>

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
    constexpr std::size_t kMostGroups = 32;
    ++m_counts[slotOf(severity)];
    const std::string text = message != nullptr ? message : "";
    if (type == GL_DEBUG_TYPE_PUSH_GROUP || type == GL_DEBUG_TYPE_POP_GROUP) {
        if (type == GL_DEBUG_TYPE_PUSH_GROUP && m_groups.size() < kMostGroups &&
            std::find(m_groups.begin(), m_groups.end(), text) == m_groups.end()) {
            m_groups.push_back(text);
        }
        return;
    }
    std::vector<std::string>& kept = slotOf(severity) == 3 ? m_notifications : m_problems;
    if (kept.size() < kKeptMessages) {
        kept.push_back(debugSeverityName(severity) + " " + debugTypeName(type) + " from " +
                       debugSourceName(source) + " (ID " + std::to_string(id) + "): " + text);
    }
}

std::vector<std::string> GlDebugLog::firstMessages() const {
    std::vector<std::string> first = m_problems;
    for (const std::string& note : m_notifications) {
        if (first.size() < kKeptMessages) {
            first.push_back(note);
        }
    }
    return first;
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
