// The star field around the scene: its cube map and the program that draws it on a box around
// the eye, pushed to the far plane. The lighting pass draws it where no surface was stored,
// the forward frame where nothing was drawn; the lighting and the reflections read its cube.
#pragma once

#include <filesystem>

#include "gpu/Buffers.hpp"
#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "gpu/Texture.hpp"
#include "render/Frame.hpp"

namespace kes {

class Sky {
public:
    explicit Sky(const std::filesystem::path& assetsFolder);

    // The box with `state`, which picks the pixels (by stencil or by depth).
    void draw(Frame& frame, const PipelineState& state) const;
    const CubeTexture& cube() const { return m_cube; }

private:
    Program m_program;
    CubeTexture m_cube;
    VAO m_box;
};

}  // namespace kes
