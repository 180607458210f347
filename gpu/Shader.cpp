#include "gpu/Shader.hpp"

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <utility>

#include "app/App.hpp"

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

}  // namespace

std::filesystem::path makeShaderPath(const std::string& name) {
    return makeShaderPath(App::instance()->assetsPath, name);
}

std::filesystem::path makeShaderPath(const std::filesystem::path& assetsFolder,
                                     const std::string& name) {
    return assetsFolder / "shaders" / (name + ".glsl");
}

std::string shader::loadFile(const std::filesystem::path& path) {
    std::error_code ignored;
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file.is_open() || std::filesystem::is_directory(path, ignored)) {
        throw std::runtime_error("kes::shader::loadFile - Failed to open " +
                                 inQuotes(path.string()));
    }
    const auto size = static_cast<std::size_t>(file.tellg());
    file.seekg(0);
    std::string source(size, '\0');
    if (!file.read(source.data(), static_cast<std::streamsize>(size)) && size != 0) {
        throw std::runtime_error("kes::shader::loadFile - fread() failed " +
                                 inQuotes(path.string()));
    }
    return source;
}

GLuint shader::createShader(GLenum type, const std::string& name, const std::string& source,
                            const std::vector<std::string>& prefixLines) {
    const GLuint object = glCreateShader(type);
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
        glDeleteShader(object);
        throw std::runtime_error("kes::shader::createShader - " + inQuotes(name) +
                                 " - glCompileShader(): " + inQuotes(log));
    }
    return object;
}

shader::shader(GLenum type, const std::filesystem::path& path,
               const std::vector<std::string>& prefixLines)
    : id(createShader(type, path.string(), loadFile(path), prefixLines)) {}

shader::~shader() {
    if (id != 0) {
        glDeleteShader(id);
        id = 0;
    }
}

shader::shader(shader&& other) noexcept : id(std::exchange(other.id, 0)) {}

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
        glDeleteProgram(id);
        id = 0;
        throw std::runtime_error("kes::Program::Program - " + inQuotes(name) +
                                 " glLinkProgram(): " + inQuotes(log));
    }
    glDetachShader(id, vertex.id);
    glDetachShader(id, fragment.id);
}

namespace {

// The fragment shader is built first, so its failure is the one reported when both would fail.
Program linkFiles(const std::filesystem::path& vertexPath,
                  const std::filesystem::path& fragmentPath, const std::string& name,
                  const std::vector<std::string>& prefixLines) {
    const shader fragment(GL_FRAGMENT_SHADER, fragmentPath, prefixLines);
    const shader vertex(GL_VERTEX_SHADER, vertexPath, prefixLines);
    return Program(vertex, fragment, name);
}

}  // namespace

Program::Program(const std::filesystem::path& vertexPath, const std::filesystem::path& fragmentPath,
                 const std::string& name_, const std::vector<std::string>& prefixLines)
    : Program(linkFiles(vertexPath, fragmentPath, name_, prefixLines)) {}

Program::~Program() {
    if (id != 0) {
        glDeleteProgram(id);
        id = 0;
    }
    name.clear();
}

Program::Program(Program&& other) noexcept
    : id(std::exchange(other.id, 0)), name(std::move(other.name)) {}

GLint Program::uniformLocation(const char* uniformName) const {
    return glGetUniformLocation(id, uniformName);
}

}  // namespace kes
