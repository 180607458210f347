// The numbers the C++ side owns and the shaders use (binding points, texture units, the light
// count, the shadow maps' size), handed to every shader of the game as #define lines right after
// its #version line, so each number is written once, here, and a shader names it.
#pragma once

#include <string>
#include <vector>

namespace kes {

// "#define BINDING_PER_FRAME 0", ... one a number.
std::vector<std::string> shaderInterfaceDefines();

// `source` with `defines` after its #version line, and a #line directive that keeps the
// driver's line numbers those of the file. A source without a #version line is left as it is.
std::string withDefinesAfterVersion(const std::string& source,
                                    const std::vector<std::string>& defines);

}  // namespace kes
