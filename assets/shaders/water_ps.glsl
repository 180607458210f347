// Water material, G-buffer stage: the physically based surface of "pbr" with drifting
// ripples in its normal and a shimmering emission, for glowing liquid bodies such as the sun.
// Reads: the material textures or their constants, chosen by the has* flags; the per-frame
// block. Writes: the G-buffer's three images (include/gbuffer.glsl).
#version 430 core

#include "include/perFrame.glsl"

#include "include/material.glsl"

#define GBUFFER_OUTPUTS
#include "include/gbuffer.glsl"

#include "include/waterNoise.glsl"

vec3 surfaceNormal() {
    return mappedNormal(rippledNormal(normalize(surface.normal), surface.worldPosition));
}

void main() {
    MaterialSample m = sampleMaterial();
    m.emissive = shimmeringEmission(m.emissive, surface.worldPosition);
    albedoMetal = vec4(m.albedo, m.metal);
    emissiveDistance = vec4(m.emissive, distance(camPos, surface.worldPosition));
    normalRoughness = vec4(surfaceNormal(), m.roughness);
}
