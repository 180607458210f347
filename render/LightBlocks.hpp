// The lights and their shadow matrices as the shaders read them (the blocks at bindings 1 and
// 2): kept on the CPU, changed by the renderer, and uploaded only before the first pass that
// binds a block after it changed.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

#include "gpu/Bindings.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"
#include "render/Lights.hpp"

namespace kes {

class LightBlocks {
public:
    // Appends the light with its shadow map's matrix (when its kind has one); returns its
    // index, which is also its shadow map's. At most kMaxLights: one more throws
    // std::length_error.
    std::uint32_t add(const LightDesc& desc, const std::optional<glm::mat4>& shadowMatrix);
    void setShadowMatrix(std::uint32_t map, const glm::mat4& matrix);
    // Light `index` made anew (one that add returned).
    void set(std::uint32_t index, const LightDesc& desc,
             const std::optional<glm::mat4>& shadowMatrix);

    // Uploads the block first when it changed since its last upload.
    void bindLights();
    void bindShadows();

    const lightBuffer& lights() const { return m_lights.data; }
    const shadowBuffer& shadows() const { return m_shadows.data; }
    GLuint lightBlockId() const { return m_lights.id; }

private:
    UBO<lightBuffer> m_lights{binding::kLights};
    UBO<shadowBuffer> m_shadows{binding::kShadows};
    bool m_lightsChanged = false;
    bool m_shadowsChanged = false;
};

}  // namespace kes
