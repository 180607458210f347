// Reads a framebuffer back to memory and saves it as a PNG: for tests that probe pixels and
// for people who want to look at a frame.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include <GL/glew.h>
#include <glm/glm.hpp>

namespace kes {

// Red, green, blue, alpha bytes; row 0 is the bottom row, as GL reads it.
struct CapturedImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    glm::u8vec4 at(int x, int y) const;
};

// Reads `readBuffer` (GL_BACK of the window, or a colour attachment) of `framebuffer`.
CapturedImage captureFramebuffer(GLuint framebuffer, GLenum readBuffer, int width, int height);

// False when the file cannot be written.
bool savePng(const CapturedImage& image, const std::filesystem::path& path);
// The same as a JPEG of good quality, without alpha: a large picture for people to look at in a
// fifth of a PNG's size.
bool saveJpeg(const CapturedImage& image, const std::filesystem::path& path);

// A PNG as savePng wrote it (any PNG, converted to 8-bit RGBA), or nothing when the file is
// missing or not a PNG.
std::optional<CapturedImage> loadPng(const std::filesystem::path& path);

}  // namespace kes
