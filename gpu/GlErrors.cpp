#include "gpu/GlErrors.hpp"

#include <iomanip>
#include <iostream>

#include <GL/glew.h>

namespace kes {

std::uint32_t takeEarlierGlErrors(const char* before, std::ostream& console) {
    // A context that is lost keeps reporting the same error; the flags hold a handful at most.
    constexpr std::uint32_t kMostFlags = 16;
    std::uint32_t taken = 0;
    for (GLenum error = glGetError(); error != GL_NO_ERROR && taken < kMostFlags;
         error = glGetError()) {
        ++taken;
        const auto flags = console.flags();
        console << "OpenGL error 0x" << std::hex << std::setw(4) << std::setfill('0') << error
                << " left by an earlier call, found before " << before << std::endl;
        console.flags(flags);
        console << std::setfill(' ');
    }
    return taken;
}

std::uint32_t takeEarlierGlErrors(const char* before) {
    return takeEarlierGlErrors(before, std::cout);
}

}  // namespace kes
