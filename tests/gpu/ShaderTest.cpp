#include "gpu/Shader.hpp"
#include "gpu/ShaderDefines.hpp"

#include "support/Failure.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using test::failureOf;

constexpr const char* kVertex =
    "#version 430 core\nlayout(location = 0) in vec3 position;\nout vec3 tint;\n"
    "void main() { tint = position; gl_Position = vec4(position, 1.0); }\n";
constexpr const char* kFragment =
    "#version 430 core\nin vec3 tint;\nuniform float brightness;\nout vec4 colour;\n"
    "void main() { colour = vec4(tint * brightness, 1.0); }\n";

class ShaderTest : public test::GlTest {
protected:
    std::filesystem::path path(const std::string& name) const {
        return makeShaderPath(assets.path(), name);
    }
    std::string buildFailure(const std::string& vertex, const std::string& fragment) {
        return failureOf([&] { Program(path(vertex), path(fragment), "probe"); });
    }
};

TEST_F(ShaderTest, BuildsAProgramAndFindsItsUniforms) {
    writeShader("good_vs", kVertex);
    writeShader("good_ps", kFragment);
    EXPECT_EQ(path("good_vs"), assets.path() / "shaders" / "good_vs.glsl");
    const Program program(path("good_vs"), path("good_ps"), "good");
    EXPECT_TRUE(glIsProgram(program.id));
    EXPECT_NE(program.uniformLocation("brightness"), -1);
    EXPECT_EQ(program.uniformLocation("NOT_THERE"), -1);
    GLint attached = -1;
    glGetProgramiv(program.id, GL_ATTACHED_SHADERS, &attached);
    EXPECT_EQ(attached, 0);  // only the program stays resident
    glUseProgram(program.id);
    glUniform1f(program.uniformLocation("NOT_THERE"), 1.0f);  // -1: silently nothing
    glUseProgram(0);
}

TEST_F(ShaderTest, AMissingFileIsNamedAndTheFragmentShaderIsReadFirst) {
    writeShader("good_vs", kVertex);
    EXPECT_EQ(buildFailure("good_vs", "absent_ps"),
              "kes::shader::loadFile - Failed to open \"" + path("absent_ps").string() + "\"");
    EXPECT_EQ(buildFailure("absent_vs", "also_absent_ps"),
              "kes::shader::loadFile - Failed to open \"" + path("also_absent_ps").string() + "\"");
}

TEST_F(ShaderTest, ACompileErrorCarriesTheFileAndTheDriversLog) {
    allowDriverErrors();  // the compiler reports the error through the debug output too
    writeShader("good_vs", kVertex);
    writeShader("broken_ps", "#version 430 core\nvoid main() { this is not glsl; }\n");
    const std::string failure = buildFailure("good_vs", "broken_ps");
    const std::string prefix = "kes::shader::createShader - \"" + path("broken_ps").string() +
                               "\" - glCompileShader(): \"";
    EXPECT_EQ(failure.rfind(prefix, 0), 0u) << failure;
    EXPECT_GT(failure.size(), prefix.size() + 1);  // the log itself
    EXPECT_EQ(failure.back(), '"');
}

TEST_F(ShaderTest, ALinkErrorNamesTheProgram) {
    writeShader("good_vs", kVertex);
    writeShader("unmatched_ps",
                "#version 430 core\nin vec3 somethingElse;\nout vec4 colour;\n"
                "void main() { colour = vec4(somethingElse, 1.0); }\n");
    const std::string failure = buildFailure("good_vs", "unmatched_ps");
    EXPECT_EQ(failure.rfind("kes::Program::Program - \"probe\" glLinkProgram(): \"", 0), 0u)
        << failure;
    EXPECT_EQ(failure.back(), '"');
}

TEST_F(ShaderTest, AnEmptyFileIsReadAndLeftToTheCompiler) {
    allowDriverErrors();
    writeShader("empty_vs", "");
    EXPECT_EQ(shader::loadFile(path("empty_vs")), "");
    writeShader("good_ps", kFragment);
    const std::string failure = buildFailure("empty_vs", "good_ps");
    EXPECT_TRUE(failure.rfind("kes::shader::createShader - ", 0) == 0 ||
                failure.rfind("kes::Program::Program - ", 0) == 0)
        << failure;
}

TEST_F(ShaderTest, PrefixLinesGoBeforeTheFileText) {
    allowDriverErrors();  // the first compile, without the version line, fails on purpose
    const std::string body = "out vec4 colour;\nvoid main() { colour = vec4(1.0); }\n";
    EXPECT_NE(
        failureOf([&] { glDeleteShader(shader::createShader(GL_FRAGMENT_SHADER, "x", body, {})); }),
        "no failure");
    const GLuint compiled =
        shader::createShader(GL_FRAGMENT_SHADER, "x", body, {"#version 430 core", "// prefix"});
    EXPECT_TRUE(glIsShader(compiled));
    glDeleteShader(compiled);
}

// Shared code comes in by `#include "file.glsl"` lines, relative to the shaders folder: once
// each, nested, and with the lines of every file numbered as in that file.
TEST_F(ShaderTest, IncludesAreExpandedOnceEachWithTheirOwnLineNumbers) {
    writeShader("lib/tint",
                "uniform float brightness;\nvec3 tinted(vec3 c) { return c * brightness; }\n");
    writeShader("lib/colour", "#include \"lib/tint.glsl\"\nout vec4 colour;\n");
    writeShader("included_ps",
                "#version 430 core\n#include \"lib/tint.glsl\"\n#include \"lib/colour.glsl\"\n"
                "in vec3 tint;\nvoid main() { colour = vec4(tinted(tint), 1.0); }\n");
    writeShader("good_vs", kVertex);
    std::vector<std::string> names;
    const std::string text =
        shader::expandIncludes(path("included_ps"), path("x").parent_path(), names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"included_ps.glsl", "lib/tint.glsl", "lib/colour.glsl"}));
    EXPECT_EQ(
        text,
        "#version 430 core\n"
        "#line 1 1\nuniform float brightness;\nvec3 tinted(vec3 c) { return c * brightness; }\n"
        "#line 3 0\n"
        "#line 1 2\n\nout vec4 colour;\n#line 4 0\n"
        "in vec3 tint;\nvoid main() { colour = vec4(tinted(tint), 1.0); }\n");
    const Program program(path("good_vs"), path("included_ps"), "included");
    EXPECT_NE(program.uniformLocation("brightness"), -1);
}

TEST_F(ShaderTest, AMissingIncludeIsNamedAndAnErrorInOneSaysWhichFileItIs) {
    allowDriverErrors();
    writeShader("good_vs", kVertex);
    writeShader("lacking_ps", "#version 430 core\n#include \"lib/absent.glsl\"\nvoid main() {}\n");
    EXPECT_EQ(buildFailure("good_vs", "lacking_ps"),
              "kes::shader::loadFile - Failed to open \"" +
                  (path("x").parent_path() / "lib/absent.glsl").string() + "\"");

    writeShader("lib/bad", "float fine = 1.0;\nthis is not glsl;\n");
    writeShader("bad_include_ps", "#version 430 core\n#include \"lib/bad.glsl\"\nvoid main() {}\n");
    const std::string failure = buildFailure("good_vs", "bad_include_ps");
    EXPECT_NE(failure.find("glCompileShader()"), std::string::npos) << failure;
    EXPECT_TRUE(failure.ends_with("(source strings: 0 bad_include_ps.glsl 1 lib/bad.glsl)"))
        << failure;
    EXPECT_NE(failure.find("1:2("), std::string::npos) << "Mesa numbers source:line: " << failure;
}

// The numbers the C++ side owns reach every shader as defines after its version line, and an
// error after them is still reported at its line in the file.
TEST_F(ShaderTest, TheInterfaceDefinesFollowTheVersionAndKeepTheLineNumbers) {
    allowDriverErrors();
    writeShader("good_vs", kVertex);
    writeShader("sized_ps",
                "// a header comment\n#version 430 core\nout vec4 colour;\n"
                "void main() { colour = vec4(SHADOW_MAP_SIZE, MAX_LIGHTS, UNIT_GLOW, 1.0); }\n");
    EXPECT_NO_THROW(Program(path("good_vs"), path("sized_ps"), "sized"));
    writeShader("late_error_ps",
                "// a header comment\n#version 430 core\nout vec4 colour;\n"
                "void main() {\n  colour = not_declared;\n}\n");
    const std::string failure = buildFailure("good_vs", "late_error_ps");
    EXPECT_NE(failure.find("0:5("), std::string::npos) << failure;

    const std::string withDefines =
        withDefinesAfterVersion("// c\n#version 430 core\nvoid main() {}\n", {"#define A 1"});
    EXPECT_EQ(withDefines, "// c\n#version 430 core\n#define A 1\n#line 3 0\nvoid main() {}\n");
    EXPECT_EQ(withDefinesAfterVersion("no version\n", {"#define A 1"}), "no version\n");
}

}  // namespace
}  // namespace kes
