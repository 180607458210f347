// Water material, transparent stage, rippled and shimmering as in water_ps: lights the
// surface here (the deferred pass never sees it), with ALPHA as its opacity, and appends the
// fragment to its pixel's list for the lighting pass to sort and blend. Fragments are appended
// only after the depth test, so surfaces hidden behind opaque geometry cost nothing.
// Reads: the material textures (UNIT_ALBEDO to UNIT_EMISSIVE) or constants, ALPHA, the
// shadow-map array (UNIT_TRANSPARENT_SHADOW_MAPS), the per-frame, light and shadow blocks.
// Writes: one list node (nodes on BINDING_FRAGMENT_NODES, heads on BINDING_LIST_HEADS, counter
// on BINDING_NODE_COUNTER); no colour. With BLENDED_TRANSLUCENT 1 (a quality level without
// lists) it writes the lit colour with ALPHA instead, blended over the lit picture unsorted.
#version 430 core

layout(early_fragment_tests) in;

#include "include/perFrame.glsl"

#include "include/lights.glsl"

layout(binding = UNIT_TRANSPARENT_SHADOW_MAPS) uniform sampler2DArrayShadow shadowMaps;

#include "include/material.glsl"
layout(location = 9) uniform float ALPHA;

#ifndef BLENDED_TRANSLUCENT
#define BLENDED_TRANSLUCENT 0
#endif
#if !BLENDED_TRANSLUCENT
#include "include/fragmentList.glsl"
#include "include/appendFragment.glsl"
#endif

#include "include/lighting.glsl"
#include "include/translucent.glsl"

#include "include/waterNoise.glsl"

vec3 surfaceNormal() {
    return mappedNormal(rippledNormal(normalize(surface.normal), surface.worldPosition));
}

void main() {
    MaterialSample m = sampleMaterial();
    m.emissive = shimmeringEmission(m.emissive, surface.worldPosition);
    appendLitTranslucent(m, surfaceNormal());
}
