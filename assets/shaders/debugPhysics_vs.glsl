// Physics debug geometry, vertex stage: the collision shapes' lines and triangles as the
// physics library delivers them, in world space.
// Reads: the position (location 0) and the colour as 0xRRGGBB (location 1, integer), the
// per-frame block (BINDING_PER_FRAME). Writes: the clip position and the colour.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in uint packedColour;

#include "include/perFrame.glsl"

out vec3 colour;

void main() {
    colour = vec3((packedColour >> 16) & 0xFFu, (packedColour >> 8) & 0xFFu,
                  packedColour & 0xFFu) / 255.0;
    gl_Position = viewProj * vec4(position, 1.0);
}
