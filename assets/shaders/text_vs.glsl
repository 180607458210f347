// Text, vertex stage: one quad corner of a character.
// Reads: the corner (location 0) and its atlas coordinate (location 1); isTransformed, and the
// per-frame block for text placed in the world. Writes: the clip position and the atlas
// coordinate. Text with isTransformed set is already in screen space (-1 ... 1).
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec2 uv;

#include "include/perFrame.glsl"

uniform int isTransformed;

out vec2 atlasCoordinate;

void main() {
    atlasCoordinate = uv;
    gl_Position = isTransformed != 0 ? vec4(position.xy, 0.0, 1.0)
                                     : viewProj * vec4(position, 1.0);
}
