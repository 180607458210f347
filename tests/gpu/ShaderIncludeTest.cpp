// Shader sources stay inside the shaders folder: an include that names an absolute path or
// climbs out of the folder is refused with a message that names it, before anything is read.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "gpu/Shader.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

std::string failureOf(const std::filesystem::path& path, const std::filesystem::path& folder) {
    std::vector<std::string> names;
    try {
        shader::expandIncludes(path, folder, names);
    } catch (const std::runtime_error& failure) {
        return failure.what();
    }
    return "";
}

TEST(ShaderIncludes, AnIncludeThatLeavesTheShadersFolderIsRefused) {
    test::TempFolder root;
    root.write("secret.glsl", "the machine's own file\n");
    const auto folder = root.path() / "shaders";
    root.write("shaders/include/common.glsl", "float shared;\n");
    const std::vector<std::string> outside{"../secret.glsl", "include/../../secret.glsl",
                                           (root.path() / "secret.glsl").string(), "/etc/passwd"};
    for (const std::string& name : outside) {
        const auto shader = root.write("shaders/bad_ps.glsl", "#include \"" + name + "\"\n");
        EXPECT_EQ(failureOf(shader, folder), "kes::shader::expandIncludes - the include \"" + name +
                                                 "\" in \"" + shader.string() +
                                                 "\" leaves the shaders folder");
    }
    // Inside the folder, however the name is spelt, an include is fine.
    const auto good =
        root.write("shaders/good_ps.glsl", "#include \"include/./common.glsl\"\nvoid main() {}\n");
    std::vector<std::string> names;
    const std::string text = shader::expandIncludes(good, folder, names);
    EXPECT_NE(text.find("float shared;"), std::string::npos) << text;
}

TEST(ShaderIncludes, AShaderFileMustBeABoundedRegularFile) {
    test::TempFolder root;
    std::filesystem::create_directories(root.path() / "shaders");
    std::filesystem::create_symlink("/dev/zero", root.path() / "shaders" / "endless.glsl");
    const auto shader = root.write("shaders/a_ps.glsl", "#include \"endless.glsl\"\n");
    EXPECT_EQ(failureOf(shader, root.path() / "shaders"),
              "kes::shader::loadFile - \"" + (root.path() / "shaders" / "endless.glsl").string() +
                  "\" is not a regular file");
}

}  // namespace
}  // namespace kes
