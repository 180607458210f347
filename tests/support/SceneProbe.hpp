// Helpers for tests that render scenes through the renderer and probe the pictures.
#pragma once

#include <filesystem>
#include <string>

#include <glm/glm.hpp>

#include "gpu/FrameCapture.hpp"
#include "render/Renderer.hpp"
#include "support/OffscreenTarget.hpp"

namespace kes::test {

inline RendererSetup rendererSetup() {
    return {DRIFTLINE_ASSETS_DIR, 1.0f, 96.0f, nullptr};
}

// Passes of the loop: the frame, then the data for the next one; the second frame is the first
// to see the camera. Returns the last frame.
inline CapturedImage drawFrames(Renderer& renderer, const Camera& camera,
                                const OffscreenTarget& target, int frames = 3) {
    const Viewport viewport = target.viewport();
    for (int pass = 1; pass < frames; ++pass) {
        renderer.render(target.fbo.id, &viewport);
        renderer.prepareFrame(camera, 1.0f / 60.0f, 1.0f, 1.0f);
    }
    renderer.render(target.fbo.id, &viewport);
    return target.capture();
}

inline void savePicture(const CapturedImage& image, const std::string& name) {
    std::filesystem::create_directories("test-output");
    savePng(image, "test-output/" + name + ".png");
}

inline LightDesc pointLight(const glm::vec3& position) {
    LightDesc light{};
    light.type = kPointLight;
    light.coefficients = {1.0f, 0.0f, 0.0f};
    light.factor = 0.05f;
    light.color = glm::vec3(1.0f);
    light.position = position;
    return light;
}

// Where a world point lands in a captured picture (row 0 at the bottom).
inline glm::ivec2 pixelOf(const Camera& camera, const glm::vec3& world,
                          const CapturedImage& image) {
    const glm::vec4 clip = camera.viewProj * glm::vec4(world, 1.0f);
    const glm::vec2 ndc = glm::vec2(clip) / clip.w;
    return {static_cast<int>((ndc.x * 0.5f + 0.5f) * static_cast<float>(image.width)),
            static_cast<int>((ndc.y * 0.5f + 0.5f) * static_cast<float>(image.height))};
}

// Mean of red, green and blue over the 5 x 5 pixels around `pixel`.
inline float brightnessNear(const CapturedImage& image, glm::ivec2 pixel) {
    float sum = 0.0f;
    int count = 0;
    for (int y = pixel.y - 2; y <= pixel.y + 2; ++y) {
        for (int x = pixel.x - 2; x <= pixel.x + 2; ++x) {
            const glm::u8vec4 c = image.at(x, y);
            sum += static_cast<float>(c.r + c.g + c.b) / 3.0f;
            ++count;
        }
    }
    return sum / static_cast<float>(count);
}

// The view's up is taken as given, so it is made square to the direction here.
inline Camera lookingAt(const glm::vec3& target, const glm::vec3& direction, float distance,
                        float aspect = 1.0f) {
    const glm::vec3 forward = glm::normalize(direction);
    const glm::vec3 up = glm::vec3(0, 1, 0) - forward * forward.y;
    Camera camera(60.0f, aspect, 0.1f, 1000.0f, target, distance, forward, up);
    camera.dirty = true;
    return camera;
}

// Counts pixels whose colours differ by more than `tolerance` in any channel.
inline int countDifferences(const CapturedImage& a, const CapturedImage& b, int tolerance = 3) {
    int differing = 0;
    for (int y = 0; y < a.height; ++y) {
        for (int x = 0; x < a.width; ++x) {
            const glm::u8vec4 p = a.at(x, y);
            const glm::u8vec4 q = b.at(x, y);
            for (int c = 0; c < 3; ++c) {
                if (std::abs(int(p[c]) - int(q[c])) > tolerance) {
                    ++differing;
                    break;
                }
            }
        }
    }
    return differing;
}

}  // namespace kes::test
