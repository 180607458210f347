// Physically based material, forward stage (the basic quality level): resolves the surface as
// the G-buffer stage does and lights it at once, so the frame needs no G-buffer or lighting
// pass. Opaque nodes are drawn with ALPHA 1 and no blending, translucent ones blended.
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

void main() {
    writeLitForward(sampleMaterial(), mappedNormal(normalize(surface.normal)));
}
