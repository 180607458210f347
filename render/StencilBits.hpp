// What the stencil of the scene's depth-stencil buffer says about a pixel, from the geometry
// pass to the effects. The lighting pass shades covered pixels and leaves the rest to the sky;
// the reflection pass needs an opaque surface to mirror from.
#pragma once

#include <GL/glew.h>

namespace kes::stencil {

inline constexpr GLuint kCovered = 1u;  // an opaque surface, a translucent node or the tube
inline constexpr GLuint kOpaque = 2u;   // an opaque surface

}  // namespace kes::stencil
