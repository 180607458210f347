// A layer that only clears its framebuffer to the space colour each pass: the picture the
// application shows while no game layer is in the chain.
#pragma once

#include "app/Layer.hpp"

namespace kes {

class ClearLayer final : public Layer {
public:
    void update(float frameDt, float time, float alpha) override;
    void render(float frameDt, float time, unsigned int framebuffer,
                const Viewport* viewport) override;
    void fixedUpdate(float time) override;
};

}  // namespace kes
