// The transparency pass: translucent nodes, lit as they are drawn, and the race-course tube (a
// bright wire grid over a darker skin, fading out with distance) appended to the per-pixel
// fragment lists that the lighting pass resolves; where the quality level keeps no lists, the
// tube alone, added over the lit picture after the lighting pass; at the basic level, blended
// over the forward picture. Reads the per-frame block, the
// lights and the shadow maps, and the G-buffer's depth (nothing behind an opaque surface is
// appended); writes the lists and stencil 1 wherever a fragment lands, so the lighting pass
// resolves those pixels over the sky as well.
#pragma once

#include <memory>
#include <vector>

#include "gpu/Framebuffers.hpp"
#include "gpu/PipelineState.hpp"
#include "render/Frame.hpp"
#include "render/PathMesh.hpp"
#include "render/SceneNode.hpp"
#include "render/ShadowPass.hpp"

namespace kes {

class TransparencyPass {
public:
    explicit TransparencyPass(const Frame& frame);
    // Draws into `frame` from now on (after a change of the picture's size).
    void attach(const Frame& frame);

    // Empties every list for the frame: each head "empty", the node counter 0. The last
    // frame's shaders wrote both, so the copies into them wait for those writes.
    void resetLists(Frame& frame);
    // Appends to the lists; nothing when the frame keeps none.
    void draw(Frame& frame, const std::vector<SceneNode*>& translucentNodes,
              const ShadowPass& shadows);
    // Without lists, after the lighting pass: the tube added over the lit HDR image, then the
    // translucent nodes blended over it in the order given.
    void drawWithoutLists(Frame& frame, const std::vector<SceneNode*>& translucentNodes,
                          const ShadowPass& shadows);
    // The basic level's: over the forward picture, the tube's skin and then its wires blended
    // by their opacity, then the translucent nodes, lit forward, in the order given.
    void drawBlended(Frame& frame, const std::vector<SceneNode*>& translucentNodes);
    PathMesh* pathMesh() { return m_path.get(); }
    void setPathMesh(std::unique_ptr<PathMesh> mesh) { m_path = std::move(mesh); }

private:
    void drawNodes(Frame& frame, const std::vector<SceneNode*>& nodes, const ShadowPass& shadows);
    void drawPath(Frame& frame);
    void drawAdditiveTube(Frame& frame);

    FBO m_depthStencilOnly;  // the G-buffer's depth and stencil, no colour: fragments go to lists
    std::unique_ptr<PathMesh> m_path;
};

}  // namespace kes
