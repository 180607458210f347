// Debug arrow, vertex stage: the arrow mesh scaled by iScale and placed by iTransform.
// Reads: the mesh vertex (locations 0 and 1: position, normal), iTransform, iScale, the
// per-frame block (BINDING_PER_FRAME). Writes: the clip position and the world normal.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;

#include "include/perFrame.glsl"

uniform mat4 iTransform;
uniform float iScale;

out vec3 worldNormal;

void main() {
    worldNormal = mat3(iTransform) * normal;
    gl_Position = viewProj * iTransform * vec4(position * iScale, 1.0);
}
