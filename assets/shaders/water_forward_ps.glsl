// Water material, forward stage (the basic quality level), rippled and shimmering as in
// water_ps: resolves the surface and lights it at once, so the frame needs no G-buffer or
// lighting pass.
// Reads: the material textures (UNIT_ALBEDO to UNIT_EMISSIVE) or constants, ALPHA, the
// per-frame and light blocks. Writes: the lit HDR colour with ALPHA.
#version 430 core

#define SHADOWS 0

#include "include/perFrame.glsl"

#include "include/lights.glsl"

#include "include/material.glsl"
layout(location = 9) uniform float ALPHA;

#include "include/lighting.glsl"
#include "include/forwardLit.glsl"

#include "include/waterNoise.glsl"

void main() {
    MaterialSample m = sampleMaterial();
    m.emissive = shimmeringEmission(m.emissive, surface.worldPosition);
    writeLitForward(m, mappedNormal(rippledNormal(normalize(surface.normal), surface.worldPosition)));
}
