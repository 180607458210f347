// Physically based material, transparent stage: lights the surface here (the deferred pass
// never sees it), with ALPHA as its opacity, and appends the fragment to its pixel's list for
// the lighting pass to sort and blend. Fragments are appended only after the depth test, so
// surfaces hidden behind opaque geometry cost nothing.
// Reads: the material textures (units 0 to 4) or constants, ALPHA, the shadow-map array
// (unit 5), the per-frame, light and shadow blocks (bindings 0 to 2).
// Writes: one list node (storage binding 0, heads on image unit 0, counter binding 0); no
// colour.
#version 430 core

layout(early_fragment_tests) in;

#include "include/perFrame.glsl"

#include "include/lights.glsl"

layout(binding = 5) uniform sampler2DArrayShadow shadowMaps;

#include "include/material.glsl"
layout(location = 9) uniform float ALPHA;

#include "include/fragmentList.glsl"
#include "include/appendFragment.glsl"

#include "include/lighting.glsl"
#include "include/translucent.glsl"

vec3 surfaceNormal() {
    return mappedNormal(normalize(surface.normal));
}

void main() {
    appendLitTranslucent(sampleMaterial(), surfaceNormal());
}
