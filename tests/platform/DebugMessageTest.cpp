#include <gtest/gtest.h>

#include "platform/ErrorMessage.hpp"
#include "platform/GlDebugLog.hpp"
#include "platform/OpenGL.hpp"

namespace kes {
namespace {

TEST(DebugMessage, NamesEveryPartOfTheLine) {
    EXPECT_EQ(formatDebugMessage(GL_DEBUG_SOURCE_SHADER_COMPILER, GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR,
                                 42, GL_DEBUG_SEVERITY_HIGH, "bad"),
              "OpenGL-Error: bad [Source: ShaderCompiler, Type: Undefined Behavior, Severity: "
              "High, ID: 42]");
    EXPECT_EQ(debugSourceName(GL_DEBUG_SOURCE_APPLICATION), "User");
    EXPECT_EQ(debugTypeName(GL_DEBUG_TYPE_POP_GROUP), "Pop-Group");
    EXPECT_EQ(debugSeverityName(GL_DEBUG_SEVERITY_LOW), "Low");
}

TEST(DebugMessage, NotificationsAreSilentAndUnknownValuesAreNamedByNumber) {
    EXPECT_FALSE(formatDebugMessage(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, 1,
                                    GL_DEBUG_SEVERITY_NOTIFICATION, "chatter"));
    EXPECT_EQ(debugSourceName(0x1234), "Unknown source (4660)");
    EXPECT_EQ(debugTypeName(7), "Unknown type (7)");
    EXPECT_EQ(debugSeverityName(0), "Unknown severity (0)");
}

// The count a tool prints after a run: every message by severity, problems listed before
// chatter, and the application's own debug groups named once each instead of listed.
TEST(GlDebugLog, CountsBySeverityListsProblemsFirstAndNamesTheGroups) {
    GlDebugLog log;
    for (int frame = 0; frame < 3; ++frame) {
        for (const char* group : {"shadow", "final"}) {
            log.record(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_PUSH_GROUP, 0,
                       GL_DEBUG_SEVERITY_NOTIFICATION, group);
            log.record(GL_DEBUG_SOURCE_APPLICATION, GL_DEBUG_TYPE_POP_GROUP, 0,
                       GL_DEBUG_SEVERITY_NOTIFICATION, group);
        }
    }
    log.record(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_OTHER, 7, GL_DEBUG_SEVERITY_NOTIFICATION,
               "buffer placed in video memory");
    log.record(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_ERROR, 1, GL_DEBUG_SEVERITY_HIGH,
               "GL_INVALID_OPERATION in glUniform1");
    log.record(GL_DEBUG_SOURCE_API, GL_DEBUG_TYPE_PERFORMANCE, 2, GL_DEBUG_SEVERITY_MEDIUM,
               "recompiled");
    EXPECT_EQ(log.summary(), "GL debug messages: 15 (high 1, medium 1, low 0, notification 13)");
    EXPECT_TRUE(log.hasProblems());
    EXPECT_EQ(log.debugGroups(), (std::vector<std::string>{"shadow", "final"}));
    EXPECT_EQ(
        log.firstMessages(),
        (std::vector<std::string>{"High Error from API (ID 1): GL_INVALID_OPERATION in glUniform1",
                                  "Medium Performance from API (ID 2): recompiled",
                                  "Notify Other from API (ID 7): buffer placed in video memory"}));
    EXPECT_FALSE(GlDebugLog().hasProblems());
}

TEST(ErrorMessage, GivesTheSystemTextOrUnknownError) {
    EXPECT_EQ(formatErrorMessage(2), "No such file or directory");
    EXPECT_EQ(formatErrorMessage(987654), "Unknown Error");
    EXPECT_EQ(formatErrorMessage(-3), "Unknown Error");
}

}  // namespace
}  // namespace kes
