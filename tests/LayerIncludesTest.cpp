// The layers of the code as the build states them (one library a folder, each linking only what
// it stands on): every folder of the code is one library's, every include of every library's
// sources points into its own library or one it links, directly or not; the course and the race
// stand without the renderer and the application; only the application, the level, the screens
// and the demo reach the application object; and the README's table says what the build says.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = DRIFTLINE_SOURCE_DIR;

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream stream(text);
    for (std::string item; std::getline(stream, item, ';');) {
        if (!item.empty()) {
            items.push_back(item);
        }
    }
    return items;
}

// The graph the build wrote: each library's folder, sources and the project libraries it links,
// and the programs' entries, which belong to no library.
struct LayerGraph {
    std::map<std::string, std::set<std::string>> uses;
    std::map<std::string, std::string> folderOf;         // "driftline_gpu" -> "gpu"
    std::map<std::string, std::string> libraryOfFolder;  // "game/race" -> "driftline_race"
    std::map<std::string, std::string> libraryOfSource;  // "gpu/Texture.cpp" -> "driftline_gpu"
    std::set<std::string> entries;
    // What does not fit one library a folder: a folder claimed twice, a source outside its
    // library's folder.
    std::vector<std::string> problems;

    static LayerGraph parse(std::istream& in) {
        LayerGraph graph;
        std::string line, library;
        while (std::getline(in, line)) {
            if (line.starts_with("library ")) {
                library = line.substr(8);
                graph.uses[library];
            } else if (line.starts_with("folder ")) {
                graph.claim(library, line.substr(7));
            } else if (line.starts_with("sources ")) {
                for (const std::string& source : splitList(line.substr(8))) {
                    graph.libraryOfSource[source] = library;
                    if (fs::path(source).parent_path().string() != graph.folderOf[library]) {
                        graph.problems.push_back(source + " of " + library + " lies outside " +
                                                 graph.folderOf[library]);
                    }
                }
            } else if (line.starts_with("uses ")) {
                for (const std::string& used : splitList(line.substr(5))) {
                    if (used.starts_with("driftline_")) {
                        graph.uses[library].insert(used);
                    }
                }
            } else if (line.starts_with("entries ")) {
                for (const std::string& entry : splitList(line.substr(8))) {
                    graph.entries.insert(entry);
                }
            }
        }
        return graph;
    }

    void claim(const std::string& library, const std::string& folder) {
        if (folder.empty()) {
            problems.push_back(library + " names no folder");
            return;
        }
        folderOf[library] = folder;
        const auto [found, fresh] = libraryOfFolder.emplace(folder, library);
        if (!fresh) {
            problems.push_back(folder + " belongs to " + found->second + " and " + library);
        }
    }

    // The library a project file belongs to: its folder's. Empty for an entry or a file in
    // no library's folder.
    std::string libraryOf(const std::string& file) const {
        if (entries.contains(file)) {
            return {};
        }
        const auto folder = libraryOfFolder.find(fs::path(file).parent_path().string());
        return folder == libraryOfFolder.end() ? std::string() : folder->second;
    }

    // The library itself and everything it links, directly or not.
    std::set<std::string> reachable(const std::string& library) const {
        std::set<std::string> seen{library};
        std::vector<std::string> open{library};
        while (!open.empty()) {
            const std::string next = open.back();
            open.pop_back();
            for (const std::string& used : uses.at(next)) {
                if (seen.insert(used).second) {
                    open.push_back(used);
                }
            }
        }
        return seen;
    }
};

LayerGraph theBuildsGraph() {
    std::ifstream in(DRIFTLINE_LAYERS_FILE);
    return LayerGraph::parse(in);
}

bool isSource(const fs::path& path) {
    return path.extension() == ".cpp" || path.extension() == ".hpp";
}

// The folders of the product's code: every folder below the root that holds a source, but the
// tests, the tools, the benchmarks and build output, which are no library.
std::set<std::string> codeFolders(const fs::path& root) {
    const std::set<std::string> apart{"tests",     "tools",   "bench", "assets", "docs",
                                      "packaging", "scripts", ".git",  ".ci"};
    std::set<std::string> folders;
    for (auto entry = fs::recursive_directory_iterator(root);
         entry != fs::recursive_directory_iterator(); ++entry) {
        const std::string name = entry->path().filename().string();
        if (entry->is_directory() && entry.depth() == 0 &&
            (apart.contains(name) || name.starts_with("build"))) {
            entry.disable_recursion_pending();
        } else if (entry->is_regular_file() && isSource(entry->path())) {
            folders.insert(entry->path().parent_path().lexically_relative(root).string());
        }
    }
    return folders;
}

// Every project file of the library folders, relative to the root.
std::vector<std::string> libraryFiles(const LayerGraph& graph) {
    std::vector<std::string> files;
    for (const auto& [folder, library] : graph.libraryOfFolder) {
        for (const auto& entry : fs::directory_iterator(kSource / folder)) {
            if (entry.is_regular_file() && isSource(entry.path())) {
                files.push_back(entry.path().lexically_relative(kSource).string());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The quoted name of an `#include "name"` line; empty for any other line.
std::string quotedInclude(const std::string& line) {
    const std::size_t hash = line.find_first_not_of(" \t");
    if (hash == std::string::npos || line[hash] != '#') {
        return {};
    }
    const std::size_t word = line.find_first_not_of(" \t", hash + 1);
    if (word == std::string::npos || line.compare(word, 7, "include") != 0) {
        return {};
    }
    const std::size_t open = line.find('"', word + 7);
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    return close == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

std::vector<std::string> projectIncludes(const fs::path& file) {
    std::vector<std::string> found;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) {
        const std::string name = quotedInclude(line);
        if (!name.empty() && fs::exists(kSource / name)) {
            found.push_back(name);
        }
    }
    return found;
}

// Every `driftline_...` name in `text`.
std::set<std::string> libraryNames(const std::string& text) {
    std::set<std::string> names;
    for (std::size_t at = text.find("driftline_"); at != std::string::npos;
         at = text.find("driftline_", at + 1)) {
        std::size_t end = at + 10;
        while (end < text.size() &&
               (std::isalnum(static_cast<unsigned char>(text[end])) != 0 || text[end] == '_')) {
            ++end;
        }
        names.insert(text.substr(at, end - at));
        at = end - 1;
    }
    return names;
}

// "gpu/Texture.cpp includes render/Camera.hpp: driftline_gpu does not link driftline_render"
std::vector<std::string> upwardIncludes(const LayerGraph& graph, const fs::path& root,
                                        const std::vector<std::string>& files) {
    std::vector<std::string> problems;
    for (const std::string& file : files) {
        const std::string library = graph.libraryOf(file);
        if (library.empty()) {
            continue;  // an executable's entry: it may use everything
        }
        const std::set<std::string> allowed = graph.reachable(library);
        for (const std::string& included : projectIncludes(root / file)) {
            const std::string target = graph.libraryOf(included);
            if (!target.empty() && !allowed.contains(target)) {
                problems.push_back(file + " includes " + included + ": " + library +
                                   " does not link " + target);
            }
        }
    }
    return problems;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

TEST(LayerIncludes, EveryIncludePointsIntoALibraryItsOwnLinks) {
    const LayerGraph graph = theBuildsGraph();
    ASSERT_GE(graph.uses.size(), 13u) << "no layer graph in " << DRIFTLINE_LAYERS_FILE;
    const std::vector<std::string> problems = upwardIncludes(graph, kSource, libraryFiles(graph));
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

// One library a folder: every folder of the product's code is one library's (or holds a
// program's entry alone), no folder is claimed twice, every source lies in its library's
// folder, and every file of a library's folder is built into it (a header beside its source).
TEST(LayerIncludes, EveryFolderIsOneLibrarysAndEveryFileInItIsItsOwn) {
    const LayerGraph graph = theBuildsGraph();
    std::vector<std::string> problems = graph.problems;
    std::set<std::string> entryFolders;
    for (const std::string& entry : graph.entries) {
        entryFolders.insert(fs::path(entry).parent_path().string());
    }
    for (const std::string& folder : codeFolders(kSource)) {
        if (!graph.libraryOfFolder.contains(folder) && !entryFolders.contains(folder)) {
            problems.push_back(folder + "/ belongs to no library");
        }
    }
    for (const std::string& file : libraryFiles(graph)) {
        if (fs::path(file).extension() == ".cpp" && !graph.libraryOfSource.contains(file) &&
            !graph.entries.contains(file)) {
            problems.push_back(file + " is built into no library");
        }
    }
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

// The checks themselves can fail: a copy of the tree where a GPU wrapper reaches for the
// camera, and one where the course reaches for the level above it.
TEST(LayerIncludes, AnIncludeThatGoesUpIsFound) {
    const LayerGraph graph = theBuildsGraph();
    test::TempFolder tree;
    tree.write("render/Camera.hpp", "// the camera\n");
    tree.write("gpu/Texture.cpp", "#include \"gpu/Texture.hpp\"\n#include \"render/Camera.hpp\"\n");
    tree.write("gpu/Texture.hpp", "// a texture\n");
    tree.write("game/level/GameLayer.hpp", "// the race layer\n");
    tree.write("game/course/Shortcut.cpp", "#include \"game/level/GameLayer.hpp\"\n");
    const auto problems =
        upwardIncludes(graph, tree.path(), {"gpu/Texture.cpp", "game/course/Shortcut.cpp"});
    EXPECT_EQ(problems, (std::vector<std::string>{
                            "gpu/Texture.cpp includes render/Camera.hpp: driftline_gpu does not "
                            "link driftline_render",
                            "game/course/Shortcut.cpp includes game/level/GameLayer.hpp: "
                            "driftline_course does not link driftline_level"}));
}

// A graph where two libraries claim one folder, and one whose source lies elsewhere.
TEST(LayerIncludes, AFolderOfTwoLibrariesIsFound) {
    std::istringstream text(
        "library driftline_a\nfolder game/shared\nsources game/shared/A.cpp\nuses \n"
        "library driftline_b\nfolder game/shared\nsources game/other/B.cpp\nuses \n");
    const LayerGraph graph = LayerGraph::parse(text);
    EXPECT_EQ(graph.problems,
              (std::vector<std::string>{"game/shared belongs to driftline_a and driftline_b",
                                        "game/other/B.cpp of driftline_b lies outside "
                                        "game/shared"}));
}

// The race and the courses are flown and checked without a window: neither links the renderer
// nor the application, directly or not.
TEST(LayerIncludes, TheCourseAndTheRaceLinkNoRendererAndNoApplication) {
    const LayerGraph graph = theBuildsGraph();
    for (const char* library : {"driftline_course", "driftline_race"}) {
        const std::set<std::string> reached = graph.reachable(library);
        EXPECT_FALSE(reached.contains("driftline_render")) << library;
        EXPECT_FALSE(reached.contains("driftline_app")) << library;
    }
}

TEST(LayerIncludes, OnlyTheApplicationTheLevelTheScreensAndTheDemoReachTheApplicationObject) {
    const LayerGraph graph = theBuildsGraph();
    const std::set<std::string> mayReach{"driftline_app", "driftline_level", "driftline_screens",
                                         "driftline_demo", ""};
    std::vector<std::string> problems;
    for (const std::string& file : libraryFiles(graph)) {
        std::ifstream in(kSource / file);
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        const bool reaches = text.find("App::instance") != std::string::npos ||
                             text.find("#include \"app/App.hpp\"") != std::string::npos;
        if (reaches && !mayReach.contains(graph.libraryOf(file))) {
            problems.push_back(file);
        }
    }
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

// The README's table of libraries: one row a library, naming the libraries it links.
TEST(LayerIncludes, TheReadmesTableIsTheBuildsGraph) {
    const LayerGraph graph = theBuildsGraph();
    std::ifstream readme(kSource / "README.md");
    std::map<std::string, std::set<std::string>> documented;
    for (std::string line; std::getline(readme, line);) {
        // | `driftline_x` | folder | `driftline_y`, `driftline_z` |
        if (!line.starts_with("| `driftline_")) {
            continue;
        }
        const std::size_t nameEnd = line.find('`', 3);
        const std::size_t nameCellEnd = line.find('|', nameEnd);
        const std::size_t folderEnd = line.find('|', nameCellEnd + 1);
        const std::size_t linksEnd = line.find('|', folderEnd + 1);
        if (nameEnd == std::string::npos || folderEnd == std::string::npos ||
            linksEnd == std::string::npos) {
            continue;
        }
        documented[line.substr(3, nameEnd - 3)] =
            libraryNames(line.substr(folderEnd + 1, linksEnd - folderEnd - 1));
    }
    EXPECT_EQ(documented, graph.uses);
}

}  // namespace
}  // namespace kes
