// The game asks for an OpenGL 4.3 core context. GLEW declares every entry point, so a call
// that only a newer context has compiles and even runs on a driver that offers more, then
// fails on one that gives exactly 4.3. This reads GLEW's header for the names that came after
// 4.3 (the 4.4 to 4.6 sections and the extensions those versions took into core) and fails
// for every source file that uses one.
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// Sections of glew.h whose names a 4.3 context does not have.
const std::set<std::string> kNewerSections = {
    "GL_VERSION_4_4", "GL_VERSION_4_5", "GL_VERSION_4_6",
    // Core in 4.4
    "GL_ARB_buffer_storage", "GL_ARB_clear_texture", "GL_ARB_enhanced_layouts", "GL_ARB_multi_bind",
    "GL_ARB_query_buffer_object", "GL_ARB_texture_mirror_clamp_to_edge", "GL_ARB_texture_stencil8",
    "GL_ARB_vertex_type_10f_11f_11f_rev",
    // Core in 4.5
    "GL_ARB_clip_control", "GL_ARB_cull_distance", "GL_ARB_ES3_1_compatibility",
    "GL_ARB_conditional_render_inverted", "GL_KHR_context_flush_control",
    "GL_ARB_direct_state_access", "GL_ARB_get_texture_sub_image", "GL_KHR_robustness",
    "GL_ARB_shader_texture_image_samples", "GL_ARB_texture_barrier",
    // Core in 4.6
    "GL_ARB_gl_spirv", "GL_ARB_spirv_extensions", "GL_ARB_indirect_parameters",
    "GL_ARB_pipeline_statistics_query", "GL_ARB_polygon_offset_clamp", "GL_KHR_no_error",
    "GL_ARB_texture_filter_anisotropic", "GL_ARB_transform_feedback_overflow_query"};

bool isOlderVersionSection(const std::string& section) {
    const std::string prefix = "GL_VERSION_";
    if (!section.starts_with(prefix) || section.size() != prefix.size() + 3) {
        return false;
    }
    const char major = section[prefix.size()];
    const char minor = section[prefix.size() + 2];
    return std::isdigit(major) != 0 && std::isdigit(minor) != 0 &&
           (major - '0') * 10 + (minor - '0') <= 43;
}

// The whitespace-separated words of a line.
std::vector<std::string> wordsOf(const std::string& line) {
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

bool isGlFunctionName(const std::string& word) {
    return word.size() > 2 && word.starts_with("gl") && std::isupper(word[2]) != 0;
}

// Function and enum names defined inside each `#ifndef SECTION ... #endif` of the header:
// "#define glName GLEW_GET_FUN(...)" and "#define GL_NAME 0x1234".
std::map<std::string, std::set<std::string>> namesBySection(std::istream& header) {
    std::map<std::string, std::set<std::string>> sections;
    std::string current;
    std::string line;
    while (std::getline(header, line)) {
        const std::vector<std::string> words = wordsOf(line);
        if (words.size() == 2 && words[0] == "#ifndef" && words[1].starts_with("GL_")) {
            current = words[1];
        } else if (!current.empty() && line.starts_with("#endif /* " + current)) {
            current.clear();
        } else if (!current.empty() && words.size() >= 3 && words[0] == "#define") {
            const bool function =
                isGlFunctionName(words[1]) && words[2].starts_with("GLEW_GET_FUN");
            const bool constant = words[1].starts_with("GL_") && std::isdigit(words[2][0]) != 0;
            if (function || constant) {
                sections[current].insert(words[1]);
            }
        }
    }
    return sections;
}

std::set<std::string> namesNewerThan43(std::istream& header) {
    const auto sections = namesBySection(header);
    std::set<std::string> older;
    for (const auto& [section, names] : sections) {
        if (isOlderVersionSection(section)) {
            older.insert(names.begin(), names.end());
        }
    }
    std::set<std::string> newer;
    for (const auto& [section, names] : sections) {
        if (kNewerSections.contains(section)) {
            for (const std::string& name : names) {
                if (!older.contains(name)) {
                    newer.insert(name);
                }
            }
        }
    }
    return newer;
}

// "file:line name" for each use of a newer name outside line comments.
std::vector<std::string> usesOf(const std::set<std::string>& newer, std::istream& source,
                                const std::string& file) {
    std::vector<std::string> uses;
    std::string line;
    for (int number = 1; std::getline(source, line); ++number) {
        const std::string code = line.substr(0, line.find("//"));
        std::string word;
        for (std::size_t i = 0; i <= code.size(); ++i) {
            const char c = i < code.size() ? code[i] : ' ';
            if (std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_') {
                word.push_back(c);
                continue;
            }
            if ((isGlFunctionName(word) || word.starts_with("GL_")) && newer.contains(word)) {
                uses.push_back(file + ":" + std::to_string(number) + " " + word);
            }
            word.clear();
        }
    }
    return uses;
}

std::set<std::string> newerNamesFromGlew() {
    std::ifstream header(DRIFTLINE_GLEW_HEADER);
    EXPECT_TRUE(header) << "cannot read " << DRIFTLINE_GLEW_HEADER;
    return namesNewerThan43(header);
}

TEST(GlVersionGuard, GlewsHeaderYieldsTheNamesThatCameAfter43AndNoOlderOnes) {
    const std::set<std::string> newer = newerNamesFromGlew();
    for (const char* name :
         {"glGenerateTextureMipmap", "glCreateBuffers", "glBindTextureUnit", "glBufferStorage",
          "glClearTexImage", "glClipControl", "GL_MAX_VERTEX_ATTRIB_STRIDE", "GL_ZERO_TO_ONE"}) {
        EXPECT_TRUE(newer.contains(name)) << name;
    }
    for (const char* name :
         {"glGenerateMipmap", "glMemoryBarrier", "glDebugMessageCallback", "glTexStorage2D",
          "GL_SHADER_STORAGE_BUFFER", "GL_NO_ERROR", "GL_TEXTURE_CUBE_MAP_SEAMLESS"}) {
        EXPECT_FALSE(newer.contains(name)) << name;
    }
    std::istringstream call("    glGenerateTextureMipmap(colour); // glCreateBuffers\n");
    EXPECT_EQ(usesOf(newer, call, "Renderer.cpp"),
              std::vector<std::string>{"Renderer.cpp:1 glGenerateTextureMipmap"});
}

// The game, its tools and benchmarks. The tests themselves inspect GL objects with a few
// direct-state-access queries: they run on Mesa's 4.5 context and never reach a player.
TEST(GlVersionGuard, NoSourceFileUsesAnOpenGLNameNewerThan43) {
    const std::set<std::string> newer = newerNamesFromGlew();
    ASSERT_FALSE(newer.empty());
    const fs::path root = DRIFTLINE_SOURCE_DIR;
    std::vector<std::string> uses;
    std::size_t scanned = 0;
    for (const char* folder :
         {"app", "platform", "gpu", "render", "text", "game", "control", "tools", "bench"}) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (!entry.is_regular_file() || (extension != ".cpp" && extension != ".hpp")) {
                continue;
            }
            std::ifstream source(entry.path());
            const auto found = usesOf(newer, source, fs::relative(entry.path(), root).string());
            uses.insert(uses.end(), found.begin(), found.end());
            ++scanned;
        }
    }
    EXPECT_GT(scanned, 80u);
    EXPECT_TRUE(uses.empty()) << "OpenGL names newer than 4.3:\n"
                              << [&] {
                                     std::string all;
                                     for (const auto& use : uses)
                                         all += "  " + use + "\n";
                                     return all;
                                 }();
}

}  // namespace
