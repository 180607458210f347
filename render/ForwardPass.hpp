// The basic quality level's frame, made for a machine without a graphics card: every opaque
// node lit as it is drawn (no shadows, no sky reflection) into the HDR image with depth, then
// the sky only where nothing was drawn. No G-buffer is filled and no full-screen lighting pass
// runs, so a pixel costs one shading where the deferred frame pays for three images written and
// read again. The tube and the translucent nodes follow, blended (the transparency pass).
// Reads the per-frame block, the lights and the sky; writes the HDR image and the depth.
#pragma once

#include <vector>

#include "render/Frame.hpp"
#include "render/SceneNode.hpp"
#include "render/Sky.hpp"

namespace kes {

class ForwardPass {
public:
    void draw(Frame& frame, const std::vector<SceneNode*>& opaqueNodes, const Sky& sky) const;
};

}  // namespace kes
