// The geometry pass: the G-buffer cleared to its own clear values and filled with the opaque
// nodes, every pixel they cover marked with stencil 1 (the background keeps 0); a model wholly
// outside the view is not submitted. Reads the per-frame block and the nodes' materials;
// writes the G-buffer and its depth and stencil.
// The G-buffer's layout is written down in assets/shaders/include/gbuffer.glsl.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "gpu/PipelineState.hpp"
#include "gpu/Shader.hpp"
#include "render/Frame.hpp"
#include "render/SceneNode.hpp"

namespace kes {

// What every surface of the G-buffer is drawn with: depth-tested and written, back faces
// culled (meshes are wound clockwise), and stencil 1 wherever a fragment lands.
inline constexpr PipelineState kSurfaceState =
    PipelineState{}.depth(GL_LESS, true).culling(GL_BACK, GL_CW).stencil(GL_ALWAYS, 1, GL_REPLACE);

class GeometryPass {
public:
    explicit GeometryPass(const std::filesystem::path& assetsFolder);

    void draw(Frame& frame, const std::vector<SceneNode*>& opaqueNodes);

private:
    const Program& clearProgram();

    std::filesystem::path m_assetsFolder;
    // Writes the G-buffer's clear values with one full-screen triangle; made when first drawn.
    std::optional<Program> m_clear;
};

}  // namespace kes
