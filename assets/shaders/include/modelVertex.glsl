// What a material's vertex stage takes for its model (locations 10 to 12) and hands on to the
// fragment stages.

layout(location = 10) uniform mat4 modelToWorld;
layout(location = 11) uniform mat4 modelInvTrans;
layout(location = 12) uniform float iScale;

out SurfaceVertex {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec3 bitangent;
    vec2 textureCoordinate;
} surface;
