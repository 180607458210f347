// The star field around the scene: its cube map and the program that draws it on a box around
// the eye, pushed to the far plane. The lighting pass draws it where no surface was stored,
// the forward frame where nothing was drawn; the lighting and the reflections read its cube.
#pragma once

#include <filesystem>
#include <optional>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "render/Frame.hpp"

namespace kes {

// The forward frame (the basic level) draws a picture of at most the window's size with no
// reflections: it reads a cube of half the side, without mip levels, a sixteenth of the full
// cube's decoding and filtering at start-up.
enum class SkyDetail { full, small };

class Sky {
public:
    explicit Sky(const std::filesystem::path& assetsFolder);

    // The box with `state`, which picks the pixels (by stencil or by depth), from the cube of
    // `detail`.
    void draw(Frame& frame, const PipelineState& state, SkyDetail detail = SkyDetail::full) const;
    // The full cube with its mip levels, which the lighting and the reflections read.
    const CubeTexture& cube() const { return cubeOf(SkyDetail::full); }

private:
    // Each cube is read from disk when first asked for.
    const CubeTexture& cubeOf(SkyDetail detail) const;

    std::filesystem::path m_textures;
    Program m_program;
    mutable std::optional<CubeTexture> m_fullCube;
    mutable std::optional<CubeTexture> m_smallCube;
    VAO m_box;
};

}  // namespace kes
