#include "render/ClearLayer.hpp"

#include <GL/glew.h>

namespace kes {
namespace {

constexpr float kSpaceGrey = 0.075f;  // the level's background brightness

}  // namespace

void ClearLayer::update(float /*frameDt*/, float /*time*/, float /*alpha*/) {}

void ClearLayer::render(float /*frameDt*/, float /*time*/, unsigned int framebuffer,
                        const Viewport* viewport) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glViewport(viewport->x, viewport->y, viewport->width, viewport->height);
    glClearColor(kSpaceGrey, kSpaceGrey, kSpaceGrey, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
}

void ClearLayer::fixedUpdate(float /*time*/) {}

}  // namespace kes
