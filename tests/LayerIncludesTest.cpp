// The layers of the code as the build states them (one library a folder, each linking only what
// it stands on): every include of every library's sources must point into its own library or
// one it links, directly or not; only the application's code, the game and the demo reach the
// application object; and the README's table of libraries says what the build says.
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

// The graph the build wrote: each library's sources and the project libraries it links.
struct LayerGraph {
    std::map<std::string, std::set<std::string>> uses;
    std::map<std::string, std::string> libraryOfSource;  // "gpu/Texture.cpp" -> "driftline_gpu"
    std::map<std::string, std::string> libraryOfFolder;  // the library most of a folder is in

    static LayerGraph read(const fs::path& file) {
        LayerGraph graph;
        std::ifstream in(file);
        std::string line, library;
        std::map<std::string, std::map<std::string, int>> folderCounts;
        while (std::getline(in, line)) {
            if (line.starts_with("library ")) {
                library = line.substr(8);
                graph.uses[library];
            } else if (line.starts_with("sources ")) {
                for (const std::string& source : splitList(line.substr(8))) {
                    graph.libraryOfSource[source] = library;
                    ++folderCounts[fs::path(source).parent_path().string()][library];
                }
            } else if (line.starts_with("uses ")) {
                for (const std::string& used : splitList(line.substr(5))) {
                    if (used.starts_with("driftline_")) {
                        graph.uses[library].insert(used);
                    }
                }
            }
        }
        for (const auto& [folder, counts] : folderCounts) {
            graph.libraryOfFolder[folder] =
                std::max_element(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
                    return a.second < b.second;
                })->first;
        }
        return graph;
    }

    // The library a project file belongs to: a listed source's own; a header that of its
    // source of the same name, else its folder's. Empty for a file of no library (an entry).
    std::string libraryOf(const std::string& file) const {
        if (const auto found = libraryOfSource.find(file); found != libraryOfSource.end()) {
            return found->second;
        }
        const fs::path path(file);
        if (path.extension() == ".cpp") {
            return {};
        }
        fs::path source = path;
        source.replace_extension(".cpp");
        if (const auto found = libraryOfSource.find(source.string());
            found != libraryOfSource.end()) {
            return found->second;
        }
        const auto folder = libraryOfFolder.find(path.parent_path().string());
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
    return LayerGraph::read(DRIFTLINE_LAYERS_FILE);
}

// Every project file of the library folders, relative to the root.
std::vector<std::string> libraryFiles() {
    std::vector<std::string> files;
    for (const char* folder : {"platform", "gpu", "text", "render", "game", "control", "app"}) {
        for (const auto& entry : fs::recursive_directory_iterator(kSource / folder)) {
            const std::string extension = entry.path().extension().string();
            if (extension == ".cpp" || extension == ".hpp") {
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
    ASSERT_GE(graph.uses.size(), 9u) << "no layer graph in " << DRIFTLINE_LAYERS_FILE;
    const std::vector<std::string> problems = upwardIncludes(graph, kSource, libraryFiles());
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

// The check itself can fail: a copy of the tree where a GPU wrapper reaches for the camera.
TEST(LayerIncludes, AnIncludeThatGoesUpIsFound) {
    const LayerGraph graph = theBuildsGraph();
    test::TempFolder tree;
    tree.write("render/Camera.hpp", "// the camera\n");
    tree.write("gpu/Texture.cpp", "#include \"gpu/Texture.hpp\"\n#include \"render/Camera.hpp\"\n");
    tree.write("gpu/Texture.hpp", "// a texture\n");
    const auto problems = upwardIncludes(graph, tree.path(), {"gpu/Texture.cpp"});
    EXPECT_EQ(problems, std::vector<std::string>{"gpu/Texture.cpp includes render/Camera.hpp: "
                                                 "driftline_gpu does not link driftline_render"});
}

TEST(LayerIncludes, OnlyTheApplicationTheGameAndTheDemoReachTheApplicationObject) {
    const LayerGraph graph = theBuildsGraph();
    const std::set<std::string> mayReach{"driftline_app", "driftline_game", "driftline_demo", ""};
    std::vector<std::string> problems;
    for (const std::string& file : libraryFiles()) {
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
