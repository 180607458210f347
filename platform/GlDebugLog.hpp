// Counts the messages of OpenGL's debug output by severity and keeps the first few whole, so
// a run can say afterwards whether the driver complained and about what.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <GL/glew.h>

namespace kes {

class GlDebugLog {
public:
    static constexpr std::size_t kKeptMessages = 5;

    void record(GLenum source, GLenum type, GLuint id, GLenum severity, const char* message);

    std::uint64_t total() const;
    // Messages of one severity; unknown severities count with the notifications.
    std::uint64_t count(GLenum severity) const;
    // High and medium messages: errors and undefined behaviour, never mere chatter.
    bool hasProblems() const;
    // "GL debug messages: N (high H, medium M, low L, notification X)"
    std::string summary() const;
    // The first kKeptMessages messages, formatted as the console shows them: problems
    // (high, medium, low) first; notifications only while there is room, and never the
    // echoes of the application's own debug groups.
    std::vector<std::string> firstMessages() const;
    // The names of the debug groups the application pushed, each once, in order.
    const std::vector<std::string>& debugGroups() const { return m_groups; }

private:
    std::array<std::uint64_t, 4> m_counts{};  // high, medium, low, notification
    std::vector<std::string> m_problems;
    std::vector<std::string> m_notifications;
    std::vector<std::string> m_groups;
};

}  // namespace kes
