// Race-course tube, vertex stage.
// Reads: the tube vertex (location 0) and the centre of its ring (location 1), the per-frame
// block (binding 0). Writes: the clip position, and for the fragment stage the world position
// and the vertex's offset from the centre line scaled by RADIUS (length 1 on the tube wall).
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 ringCentre;

#include "include/perFrame.glsl"

uniform float RADIUS;

out vec3 worldPosition;
out vec3 wallOffset;

void main() {
    worldPosition = position;
    wallOffset = (position - ringCentre) / RADIUS;
    gl_Position = viewProj * vec4(position, 1.0);
}
