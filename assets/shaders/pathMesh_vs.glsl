// Race-course tube, vertex stage.
// Everything of the tube beyond the fade is clipped away (clip distance 0, when the renderer
// enables it): a triangle joins rings at most RING_SPACING apart, and every point of it lies
// within RADIUS of the line between their centres, so where the interpolated ring distance
// passes FADE_END + RING_SPACING + RADIUS the whole triangle is farther than FADE_END and the
// fragment stage would append nothing of it anyway. Far turns then cost no rasterising.
// Reads: the tube vertex (location 0) and the centre of its ring (location 1), the per-frame
// block (BINDING_PER_FRAME). Writes: the clip position and clip distance 0, and for the fragment
// stage the world position and the vertex's offset from the centre line scaled by RADIUS
// (length 1 on the tube wall).
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 ringCentre;

#include "include/perFrame.glsl"

#include "include/tubeFade.glsl"

uniform float RADIUS;

out vec3 worldPosition;
out vec3 wallOffset;

void main() {
    worldPosition = position;
    wallOffset = (position - ringCentre) / RADIUS;
    gl_Position = viewProj * vec4(position, 1.0);
    gl_ClipDistance[0] = FADE_END + RING_SPACING + RADIUS - distance(camPos, ringCentre);
}
