#include <gtest/gtest.h>

#include "platform/ErrorMessage.hpp"
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

TEST(ErrorMessage, GivesTheSystemTextOrUnknownError) {
    EXPECT_EQ(formatErrorMessage(2), "No such file or directory");
    EXPECT_EQ(formatErrorMessage(987654), "Unknown Error");
    EXPECT_EQ(formatErrorMessage(-3), "Unknown Error");
}

}  // namespace
}  // namespace kes
