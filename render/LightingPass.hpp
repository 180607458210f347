// The lighting pass: the HDR image cleared, the sky drawn on the background pixels (stencil 0),
// then every covered pixel (stencil 1) lit from the G-buffer with the lights and their shadow
// maps, the pixel's fragment lists resolved over it back to front, and the image's mip chain
// made for the effects. Reads the G-buffer, the lists, the lights, the shadow maps and the sky;
// writes the HDR image.
#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "render/Frame.hpp"
#include "render/Quality.hpp"
#include "render/ShadowPass.hpp"
#include "render/Sky.hpp"

namespace kes {

class LightingPass {
public:
    // Draws `sky`, which must outlive it, behind the surfaces.
    LightingPass(const std::filesystem::path& assetsFolder, const Sky& sky);

    // Lights with the level's variant (compiled the first time the level is drawn).
    void setLevel(QualityLevel level) { m_level = level; }

    // The image filled with the frame's clear colour (seen where neither sky nor surface is).
    void clearImage(Frame& frame);
    void draw(Frame& frame, const ShadowPass& shadows);
    // The image's mip levels, which the effects read.
    void makeMipmaps(Frame& frame);

private:
    void drawSurfaces(Frame& frame, const ShadowPass& shadows);

    const Program& lightingProgram();

    std::filesystem::path m_assetsFolder;
    QualityLevel m_level = QualityLevel::high;
    std::array<std::optional<Program>, kQualityLevelCount> m_lighting;  // by level
    const Sky& m_sky;
};

}  // namespace kes
