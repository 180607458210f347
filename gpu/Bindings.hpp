// Every binding point and texture unit that the C++ side and the shaders share, named once.
// A shader says the same number in its `layout(binding = N)`; the GL test ShaderInterface
// reads the numbers, block sizes and the list node's stride back from the linked programs, so
// a mismatch fails a test instead of corrupting a frame.
#pragma once

#include <GL/glew.h>

namespace kes::binding {

// Uniform blocks: include/perFrame.glsl and include/lights.glsl.
inline constexpr GLuint kPerFrame = 0;
inline constexpr GLuint kLights = 1;
inline constexpr GLuint kShadows = 2;

// The per-pixel fragment lists: include/fragmentList.glsl and include/appendFragment.glsl.
inline constexpr GLuint kFragmentNodes = 0;  // shader storage buffer
inline constexpr GLuint kListHeads = 0;      // image unit
inline constexpr GLuint kNodeCounter = 0;    // atomic counter buffer

}  // namespace kes::binding

namespace kes::unit {

// A material's textures: include/material.glsl.
inline constexpr GLuint kAlbedo = 0;
inline constexpr GLuint kNormal = 1;
inline constexpr GLuint kMetal = 2;
inline constexpr GLuint kRoughness = 3;
inline constexpr GLuint kEmissive = 4;
// The shadow maps of the transparent material stages, after the material's five.
inline constexpr GLuint kTransparentShadowMaps = 5;

// The G-buffer's images, read by the lighting and the reflection passes.
inline constexpr GLuint kAlbedoMetal = 0;
inline constexpr GLuint kEmissiveDistance = 1;
inline constexpr GLuint kNormalRoughness = 2;
// The lighting pass's shadow maps and sky.
inline constexpr GLuint kLightingShadowMaps = 3;
inline constexpr GLuint kLightingSky = 4;
// The reflection pass's input image and sky, after the G-buffer's three.
inline constexpr GLuint kReflectionImage = 4;
inline constexpr GLuint kReflectionSky = 5;

// Passes that read one image (the skybox, the bloom steps, the final pass, the text, the
// shadow-map tiles), and the bloom's glow beside it.
inline constexpr GLuint kImage = 0;
inline constexpr GLuint kGlow = 1;

}  // namespace kes::unit
