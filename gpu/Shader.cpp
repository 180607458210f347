#include "gpu/Shader.hpp"

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "gpu/GlState.hpp"
#include "gpu/ShaderDefines.hpp"
#include "platform/Files.hpp"

namespace kes {
namespace {

std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

// The driver's log without its terminating zero.
template <typename GetLength, typename GetLog>
std::string readLog(GLuint object, GetLength getLength, GetLog getLog) {
    GLint length = 0;
    getLength(object, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<std::size_t>(std::max(length, 1)), '\0');
    GLsizei written = 0;
    getLog(object, static_cast<GLsizei>(log.size()), &written, log.data());
    log.resize(static_cast<std::size_t>(written));
    return log;
}

// The quoted name of an `#include "name"` line; nothing for any other line.
std::optional<std::string> includedName(const std::string& line) {
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 8, "#include") != 0) {
        return std::nullopt;
    }
    const std::size_t open = line.find('"', start + 8);
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close == std::string::npos) {
        return std::nullopt;
    }
    return line.substr(open + 1, close - open - 1);
}

// The file an include names, which must lie inside the shaders folder: a shader source never
// reaches for a file elsewhere on the machine.
std::filesystem::path containedInclude(const std::string& name, const std::filesystem::path& folder,
                                       const std::filesystem::path& includer) {
    const std::filesystem::path relative = std::filesystem::path(name).lexically_normal();
    const bool leaves = relative.empty() || relative.is_absolute() || relative.has_root_name() ||
                        *relative.begin() == "..";
    if (leaves) {
        throw std::runtime_error("kes::shader::expandIncludes - the include " + inQuotes(name) +
                                 " in " + inQuotes(includer.string()) +
                                 " leaves the shaders folder");
    }
    return (folder / relative).lexically_normal();
}

void expandInto(const std::filesystem::path& path, const std::filesystem::path& folder,
                std::string& out, std::vector<std::string>& names,
                std::set<std::filesystem::path>& seen) {
    const std::size_t number = names.size();
    names.push_back(path.lexically_relative(folder).string());
    std::istringstream lines(shader::loadFile(path));
    std::string line;
    for (int lineNumber = 1; std::getline(lines, line); ++lineNumber) {
        const auto include = includedName(line);
        if (!include) {
            out += line + "\n";
            continue;
        }
        const std::filesystem::path target = containedInclude(*include, folder, path);
        if (!seen.insert(target).second) {
            out += "\n";  // included before: nothing, but the line still counts
            continue;
        }
        out += "#line 1 " + std::to_string(names.size()) + "\n";
        expandInto(target, folder, out, names, seen);
        out += "#line " + std::to_string(lineNumber + 1) + " " + std::to_string(number) + "\n";
    }
}

std::string sourceLegend(const std::vector<std::string>& names) {
    std::string legend = " (source strings:";
    for (std::size_t i = 0; i < names.size(); ++i) {
        legend += " " + std::to_string(i) + " " + names[i];
    }
    return legend + ")";
}

}  // namespace

std::filesystem::path makeShaderPath(const std::filesystem::path& assetsFolder,
                                     const std::string& name) {
    return assetsFolder / "shaders" / (name + ".glsl");
}

std::string shader::loadFile(const std::filesystem::path& path) {
    FileRead file = readRegularFile(path);
    switch (file.status) {
        case ReadStatus::ok: return std::move(file.bytes);
        case ReadStatus::missing:
        case ReadStatus::unreadable:
            throw std::runtime_error("kes::shader::loadFile - Failed to open " +
                                     inQuotes(path.string()));
        case ReadStatus::notRegular:
        case ReadStatus::tooLarge: break;
    }
    throw std::runtime_error("kes::shader::loadFile - " + inQuotes(path.string()) + " " +
                             file.problem);
}

std::string shader::expandIncludes(const std::filesystem::path& path,
                                   const std::filesystem::path& folder,
                                   std::vector<std::string>& sourceNames) {
    std::string out;
    std::set<std::filesystem::path> seen{path.lexically_normal()};
    expandInto(path, folder, out, sourceNames, seen);
    return out;
}

GLuint shader::createShader(GLenum type, const std::string& name, const std::string& source,
                            const std::vector<std::string>& prefixLines) {
    ShaderName object(glCreateShader(type));
    if (object == 0) {
        throw std::runtime_error("kes::shader::createShader - " + inQuotes(name) +
                                 " - glCreateShader() failed");
    }
    std::string text;
    for (const std::string& line : prefixLines) {
        text += line + "\n";
    }
    text += source;
    const GLchar* sources[] = {text.c_str()};
    const GLint lengths[] = {static_cast<GLint>(text.size())};
    glShaderSource(object, 1, sources, lengths);
    glCompileShader(object);
    GLint compiled = GL_FALSE;
    glGetShaderiv(object, GL_COMPILE_STATUS, &compiled);
    if (compiled != GL_TRUE) {
        const std::string log = readLog(object, glGetShaderiv, glGetShaderInfoLog);
        throw std::runtime_error("kes::shader::createShader - " + inQuotes(name) +
                                 " - glCompileShader(): " + inQuotes(log));
    }
    return object.release();
}

namespace {

// Compiles the file with its includes; a compile log that numbers source strings gets the
// legend of which file each number is.
GLuint compileFile(GLenum type, const std::filesystem::path& path,
                   const std::vector<std::string>& variantDefines) {
    std::vector<std::string> names;
    std::vector<std::string> defines = shaderInterfaceDefines();
    defines.insert(defines.end(), variantDefines.begin(), variantDefines.end());
    const std::string source =
        withDefinesAfterVersion(shader::expandIncludes(path, path.parent_path(), names), defines);
    try {
        return shader::createShader(type, path.string(), source, {});
    } catch (const std::runtime_error& failure) {
        if (names.size() < 2) {
            throw;
        }
        throw std::runtime_error(failure.what() + sourceLegend(names));
    }
}

}  // namespace

shader::shader(GLenum type, const std::filesystem::path& path,
               const std::vector<std::string>& defines)
    : id(compileFile(type, path, defines)) {}

Program::Program(const shader& vertex, const shader& fragment, const std::string& name_)
    : id(glCreateProgram()), name(name_) {
    if (id == 0) {
        throw std::runtime_error("kes::Program::Program - 'id' == 0");
    }
    glAttachShader(id, vertex.id);
    glAttachShader(id, fragment.id);
    glLinkProgram(id);
    GLint linked = GL_FALSE;
    glGetProgramiv(id, GL_LINK_STATUS, &linked);
    if (linked != GL_TRUE) {
        const std::string log = readLog(id, glGetProgramiv, glGetProgramInfoLog);
        id.reset();
        throw std::runtime_error("kes::Program::Program - " + inQuotes(name) +
                                 " glLinkProgram(): " + inQuotes(log));
    }
    glDetachShader(id, vertex.id);
    glDetachShader(id, fragment.id);
    labelObject(GL_PROGRAM, id, name.c_str());
}

namespace {

// The fragment shader is built first, so its failure is the one reported when both would fail.
Program linkFiles(const std::filesystem::path& vertexPath,
                  const std::filesystem::path& fragmentPath, const std::string& name,
                  const std::vector<std::string>& defines) {
    const shader fragment(GL_FRAGMENT_SHADER, fragmentPath, defines);
    const shader vertex(GL_VERTEX_SHADER, vertexPath, defines);
    return Program(vertex, fragment, name);
}

}  // namespace

Program::Program(const std::filesystem::path& vertexPath, const std::filesystem::path& fragmentPath,
                 const std::string& name_, const std::vector<std::string>& defines)
    : Program(linkFiles(vertexPath, fragmentPath, name_, defines)) {}

GLint Program::uniformLocation(const char* uniformName) const {
    return glGetUniformLocation(id, uniformName);
}

}  // namespace kes
