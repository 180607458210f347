// Shaders from GLSL files in the assets folder, and the programs linked from a vertex and a
// fragment shader. Compile and link failures carry the driver's log. A shader file may pull in
// shared code with `#include "file.glsl"` lines, found in the shaders folder, and reads the
// numbers the C++ side owns from #define lines the loader puts after its #version line
// (gpu/ShaderDefines.hpp).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <GL/glew.h>

#include "gpu/GlName.hpp"

namespace kes {

// "<assets>/shaders/<name>.glsl" in `assetsFolder`.
std::filesystem::path makeShaderPath(const std::filesystem::path& assetsFolder,
                                     const std::string& name);

class shader {
public:
    // Reads the file with its includes and compiles it with the interface's defines and
    // `defines` (a variant's "#define NAME VALUE" lines) after its version line.
    shader(GLenum type, const std::filesystem::path& path, const std::vector<std::string>& defines);

    // The file's bytes, unchanged. An empty file is fine here; the compiler will object. Fails
    // for anything but a regular file of at most kMaxTextFileBytes.
    static std::string loadFile(const std::filesystem::path& path);
    // The file's text with every `#include "name"` line replaced by the file `folder`/name,
    // expanded in turn; a file already included is left out (each is included once). Every
    // file is a source string of its own, numbered in the order of `sourceNames`, and `#line`
    // directives keep the driver's line numbers those of the files. A missing include fails
    // as loadFile does, naming that file; an include that is absolute or leaves `folder`
    // fails, naming the include and the file that has it.
    static std::string expandIncludes(const std::filesystem::path& path,
                                      const std::filesystem::path& folder,
                                      std::vector<std::string>& sourceNames);
    // Returns the compiled shader object, which the caller deletes; `name` appears in the
    // failure message.
    static GLuint createShader(GLenum type, const std::string& name, const std::string& source,
                               const std::vector<std::string>& prefixLines);

    ShaderName id;
};

class Program {
public:
    // Links the two shaders; they stay owned by the caller.
    Program(const shader& vertex, const shader& fragment, const std::string& name);
    // Builds the fragment shader first, then the vertex shader, links them and lets the shader
    // objects go: only the program stays resident.
    Program(const std::filesystem::path& vertexPath, const std::filesystem::path& fragmentPath,
            const std::string& name, const std::vector<std::string>& defines = {});

    // -1 for a uniform the program does not use; glUniform calls then do nothing.
    GLint uniformLocation(const char* uniformName) const;

    ProgramName id;
    std::string name;  // for failure messages only
};

}  // namespace kes
