// G-buffer clear, fragment stage: the values a pixel holds where no surface was drawn. The
// renderer never sets these uniforms; their initial values are the clear values.
// G-buffer layout (shared by the material shaders and renderGbuffers_ps):
//   0 (RGBA8):   albedo (linear) rgb, metalness
//   1 (RGBA32F): emissive (linear, unbounded) rgb, distance from the camera
//   2 (RGBA16F): world-space unit normal xyz, roughness
// Reads: nothing. Writes: the three attachments.
#version 430 core

uniform vec3 CLEAR_COLOR = vec3(0.0);
uniform float METALLNESS = 0.0;
uniform vec3 EMISSIVE = vec3(0.0);
uniform vec3 NORMAL = vec3(0.0);
uniform float ROUGHNESS = 1.0;

layout(location = 0) out vec4 albedoMetal;
layout(location = 1) out vec4 emissiveDistance;
layout(location = 2) out vec4 normalRoughness;

void main() {
    albedoMetal = vec4(CLEAR_COLOR, METALLNESS);
    emissiveDistance = vec4(EMISSIVE, 0.0);
    normalRoughness = vec4(NORMAL, ROUGHNESS);
}
