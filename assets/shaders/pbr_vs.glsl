// Physically based material, vertex stage (shared by the G-buffer, shadow and transparent
// programs of "pbr"). Places a mesh vertex in the world, scaled by iScale about the model's
// origin, and hands its surface frame on for normal mapping.
// Reads: the mesh vertex (locations 0 to 4: position, normal, tangent, bitangent, texture
// coordinate), modelToWorld, modelInvTrans, iScale, the per-frame block (BINDING_PER_FRAME).
// Writes: the clip position, the world position and the world-space surface frame.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 tangent;
layout(location = 3) in vec3 bitangent;
layout(location = 4) in vec2 textureCoordinate;

#include "include/perFrame.glsl"

#include "include/modelVertex.glsl"

void main() {
    vec4 world = modelToWorld * vec4(position * iScale, 1.0);
    mat3 normalMatrix = mat3(modelInvTrans);
    surface.worldPosition = world.xyz;
    surface.normal = normalMatrix * normal;
    surface.tangent = mat3(modelToWorld) * tangent;
    surface.bitangent = mat3(modelToWorld) * bitangent;
    surface.textureCoordinate = textureCoordinate;
    gl_Position = viewProj * world;
}
