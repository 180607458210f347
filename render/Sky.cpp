#include "render/Sky.hpp"

#include <vector>

#include "gpu/Bindings.hpp"

namespace kes {
namespace {

// A unit cube around the eye; the skybox shader pushes it to the far plane.
VAO makeBox() {
    const std::vector<VertexPos> corners = {
        {{-1, -1, 1}}, {{1, -1, 1}}, {{1, 1, 1}},   {{-1, 1, 1}},
        {{1, -1, -1}}, {{1, 1, -1}}, {{-1, 1, -1}}, {{-1, -1, -1}},
    };
    const std::vector<std::uint16_t> indices = {0, 1, 2, 0, 2, 3, 1, 4, 5, 1, 5, 2,
                                                4, 7, 6, 4, 6, 5, 7, 0, 3, 7, 3, 6,
                                                3, 2, 5, 3, 5, 6, 1, 0, 4, 4, 0, 7};
    return VAO(corners, indices);
}

}  // namespace

Sky::Sky(const std::filesystem::path& assetsFolder)
    : m_textures(assetsFolder / "textures"),
      m_program(makeShaderPath(assetsFolder, "skybox_vs"),
                makeShaderPath(assetsFolder, "skybox_ps"), "progRenderSkybox"),
      m_box(makeBox()) {}

const CubeTexture& Sky::cubeOf(SkyDetail detail) const {
    if (detail == SkyDetail::small) {
        if (!m_smallCube) {
            m_smallCube.emplace(m_textures, "small", CubeMipmaps::none);
        }
        return *m_smallCube;
    }
    if (!m_fullCube) {
        m_fullCube.emplace(m_textures, "try", CubeMipmaps::made);
    }
    return *m_fullCube;
}

void Sky::draw(Frame& frame, const PipelineState& state, SkyDetail detail) const {
    frame.state.apply(state);
    glUseProgram(m_program.id);
    frame.block.bind();
    glActiveTexture(GL_TEXTURE0 + unit::kImage);
    glBindTexture(GL_TEXTURE_CUBE_MAP, cubeOf(detail).id);
    glBindVertexArray(m_box.id);
    glDrawElements(GL_TRIANGLES, 36, GL_UNSIGNED_SHORT, nullptr);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

}  // namespace kes
