// G-buffer clear, fragment stage: the values a pixel holds where no surface was drawn. The
// renderer never sets these uniforms; their initial values are the clear values.
// Reads: nothing. Writes: the G-buffer's three images (include/gbuffer.glsl).
#version 430 core

uniform vec3 CLEAR_COLOR = vec3(0.0);
uniform float METALLNESS = 0.0;
uniform vec3 EMISSIVE = vec3(0.0);
uniform vec3 NORMAL = vec3(0.0);
uniform float ROUGHNESS = 1.0;

#define GBUFFER_OUTPUTS
#include "include/gbuffer.glsl"

void main() {
    albedoMetal = vec4(CLEAR_COLOR, METALLNESS);
    emissiveDistance = vec4(EMISSIVE, 0.0);
    normalRoughness = vec4(NORMAL, ROUGHNESS);
}
