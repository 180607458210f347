#include "render/LightBlocks.hpp"

#include <stdexcept>
#include <string>

namespace kes {

std::uint32_t LightBlocks::add(const LightDesc& desc,
                               const std::optional<glm::mat4>& shadowMatrix) {
    if (m_lights.data.count >= kMaxLights || m_shadows.data.count >= kMaxLights) {
        throw std::length_error("kes::Renderer::addLight - at most " + std::to_string(kMaxLights) +
                                " lights fit the light and shadow-map arrays");
    }
    shadowBuffer& shadowBlock = m_shadows.data;
    const std::uint32_t map = shadowBlock.count;
    if (shadowMatrix) {
        shadowBlock.maps[map] = {*shadowMatrix, glm::inverse(*shadowMatrix)};
    }
    ++shadowBlock.count;

    lightBuffer& lightBlock = m_lights.data;
    const std::uint32_t index = lightBlock.count;
    lightBlock.lights[index] = makeLightRecord(desc, map);
    ++lightBlock.count;
    m_lightsChanged = m_shadowsChanged = true;
    return index;
}

void LightBlocks::set(std::uint32_t index, const LightDesc& desc,
                      const std::optional<glm::mat4>& shadowMatrix) {
    if (index >= m_lights.data.count) {
        return;
    }
    m_lights.data.lights[index] = makeLightRecord(desc, index);
    if (shadowMatrix) {
        m_shadows.data.maps[index] = {*shadowMatrix, glm::inverse(*shadowMatrix)};
    }
    m_lightsChanged = m_shadowsChanged = true;
}

void LightBlocks::setShadowMatrix(std::uint32_t map, const glm::mat4& matrix) {
    m_shadows.data.maps[map] = {matrix, glm::inverse(matrix)};
    m_shadowsChanged = true;
}

void LightBlocks::bindLights() {
    if (m_lightsChanged) {
        m_lights.upload();
        m_lightsChanged = false;
    }
    m_lights.bind();
}

void LightBlocks::bindShadows() {
    if (m_shadowsChanged) {
        m_shadows.upload();
        m_shadowsChanged = false;
    }
    m_shadows.bind();
}

}  // namespace kes
