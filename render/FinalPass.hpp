// The final pass: the finished HDR image mapped to the screen with the brightness of the
// settings and a filmic tone curve, scaled into the window's framebuffer with its aspect kept
// and black bars where the aspects differ. Reads the image; writes the window.
#pragma once

#include <filesystem>

#include <glm/glm.hpp>

#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Viewport.hpp"
#include "render/Frame.hpp"

namespace kes {

class FinalPass {
public:
    FinalPass(const std::filesystem::path& assetsFolder, float brightness);

    // Leaves `framebuffer` bound; returns the part of `window` the picture fills.
    Viewport draw(Frame& frame, GLuint image, GLuint framebuffer, const Viewport& window);
    // A light colour as the pass shows it: the CPU's twin of the shader's curve, for what is
    // drawn over the finished picture (the text).
    glm::vec3 displayColour(const glm::vec3& light) const;
    void setBrightness(float brightness) { m_brightness = brightness; }

private:
    Program m_program;
    GLint m_brightnessLocation;
    GLint m_exposureLocation;
    GLint m_enableBrightnessLocation;
    GLint m_enableExposureLocation;
    float m_brightness;
};

}  // namespace kes
