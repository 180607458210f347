// Physically based material, G-buffer stage: resolves the surface's albedo, metalness,
// roughness, emissive light and normal (from the normal map through the mesh's frame) and
// stores them for the lighting pass.
// Reads: the material textures or their constants, chosen by the has* flags; the per-frame
// block. Writes: the G-buffer's three images (include/gbuffer.glsl).
#version 430 core

#include "include/perFrame.glsl"

#include "include/material.glsl"

#define GBUFFER_OUTPUTS
#include "include/gbuffer.glsl"

vec3 surfaceNormal() {
    return mappedNormal(normalize(surface.normal));
}

void main() {
    MaterialSample m = sampleMaterial();
    albedoMetal = vec4(m.albedo, m.metal);
    emissiveDistance = vec4(m.emissive, distance(camPos, surface.worldPosition));
    normalRoughness = vec4(surfaceNormal(), m.roughness);
}
