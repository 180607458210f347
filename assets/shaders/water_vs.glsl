// Water material, vertex stage (shared by the G-buffer, shadow and transparent programs of
// "water"). Places a generated-sphere vertex in the world, scaled by iScale, and makes a
// surface frame around its normal for the ripples of the fragment stages.
// Reads: the vertex (locations 0 to 2: position, normal, texture coordinate), modelToWorld,
// modelInvTrans, iScale, the per-frame block (BINDING_PER_FRAME).
// Writes: the clip position, the world position and the world-space surface frame.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec2 textureCoordinate;

#include "include/perFrame.glsl"

#include "include/modelVertex.glsl"

void main() {
    vec4 world = modelToWorld * vec4(position * iScale, 1.0);
    mat3 normalMatrix = mat3(modelInvTrans);
    surface.worldPosition = world.xyz;
    surface.normal = normalMatrix * normal;
    // Any frame will do for procedural ripples; avoid the degenerate one at the poles.
    vec3 helper = abs(normal.y) < 0.99 ? vec3(0.0, 1.0, 0.0) : vec3(1.0, 0.0, 0.0);
    vec3 tangent = normalize(cross(helper, normal));
    surface.tangent = mat3(modelToWorld) * tangent;
    surface.bitangent = mat3(modelToWorld) * cross(normal, tangent);
    surface.textureCoordinate = textureCoordinate;
    gl_Position = viewProj * world;
}
