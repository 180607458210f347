// Physically based material, G-buffer stage: resolves the surface's albedo, metalness,
// roughness, emissive light and normal (from the normal map through the mesh's frame) and
// stores them for the lighting pass.
// G-buffer layout (shared with clearGBuffer_ps and renderGbuffers_ps):
//   0 (RGBA8):   albedo (linear) rgb, metalness
//   1 (RGBA32F): emissive (linear, unbounded) rgb, distance from the camera
//   2 (RGBA16F): world-space unit normal xyz, roughness
// Reads: the material textures (units 0 to 4) or their constants, chosen by the has* flags;
// the per-frame block (binding 0). Writes: the three attachments.
#version 430 core

#include "include/perFrame.glsl"

#include "include/material.glsl"

layout(location = 0) out vec4 albedoMetal;
layout(location = 1) out vec4 emissiveDistance;
layout(location = 2) out vec4 normalRoughness;

vec3 surfaceNormal() {
    return mappedNormal(normalize(surface.normal));
}

void main() {
    MaterialSample m = sampleMaterial();
    albedoMetal = vec4(m.albedo, m.metal);
    emissiveDistance = vec4(m.emissive, distance(camPos, surface.worldPosition));
    normalRoughness = vec4(surfaceNormal(), m.roughness);
}
