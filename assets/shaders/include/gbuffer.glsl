// The G-buffer: written by the geometry pass (its clear and the material shaders), read by the
// lighting and reflection passes.
//   0 (RGBA8):   albedo (linear) rgb, metalness
//   1 (RGBA32F): emissive (linear, unbounded) rgb, distance from the camera
//   2 (RGBA16F): world-space unit normal xyz, roughness
// A stage that writes it defines GBUFFER_OUTPUTS before including this file and gets the three
// outputs; a stage that reads it gets the three images on their units.
#ifdef GBUFFER_OUTPUTS
layout(location = 0) out vec4 albedoMetal;
layout(location = 1) out vec4 emissiveDistance;
layout(location = 2) out vec4 normalRoughness;
#else
layout(binding = UNIT_ALBEDO_METAL) uniform sampler2D albedoMetalMap;
layout(binding = UNIT_EMISSIVE_DISTANCE) uniform sampler2D emissiveDistanceMap;
layout(binding = UNIT_NORMAL_ROUGHNESS) uniform sampler2D normalRoughnessMap;
#endif
