// Where the debug overlay (F1) gets the shapes it draws. The renderer knows nothing of physics:
// the game hands it the physics service, which fills the lists from the world's last update.
#pragma once

#include <vector>

#include "gpu/Vertex.hpp"

namespace kes {

class DebugShapeSource {
public:
    // This frame's shapes as line and triangle lists; false, with the lists untouched, while
    // there is nothing to show.
    virtual bool getDebugGeometry(std::vector<VertexPosColor>& lines,
                                  std::vector<VertexPosColor>& triangles) const = 0;

protected:
    ~DebugShapeSource() = default;
};

}  // namespace kes
