// Physically based material, G-buffer stage: resolves the surface's albedo, metalness,
// roughness, emissive light and normal (from the normal map through the mesh's frame) and
// stores them for the lighting pass.
// G-buffer layout (shared with clearGBuffer_ps and renderGbuffers_ps):
//   0 (RGBA8):   albedo (linear) rgb, metalness
//   1 (RGBA32F): emissive (linear, unbounded) rgb, distance from the camera
//   2 (RGBA16F): world-space unit normal xyz, roughness
// Reads: the material textures (units 0 to 4) or their constants, chosen by the has* flags;
// the per-frame block (binding 0). Writes: the three attachments.
#version 430 core

layout(std140, binding = 0) uniform perFrameData {
    mat4 viewProj;
    mat4 viewProjInv;
    mat4 view;
    mat4 viewInv;
    mat4 viewInvTrans;
    mat4 proj;
    mat4 projInv;
    vec3 camPos;
    float time;
    float deltaTime;
    uint width;
    uint height;
};

layout(binding = 0) uniform sampler2D albedoMap;
layout(binding = 1) uniform sampler2D normalMap;
layout(binding = 2) uniform sampler2D metalMap;
layout(binding = 3) uniform sampler2D roughnessMap;
layout(binding = 4) uniform sampler2D emissiveMap;

layout(location = 0) uniform vec3 iAlbedo;
layout(location = 1) uniform float iMetal;
layout(location = 2) uniform float iRoughness;
layout(location = 3) uniform vec3 iEmissive;
layout(location = 4) uniform int hasAlbedoTexture;
layout(location = 5) uniform int hasNormalTexture;
layout(location = 6) uniform int hasMetalTexture;
layout(location = 7) uniform int hasRoughnessTexture;
layout(location = 8) uniform int hasEmissiveTexture;

in SurfaceVertex {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec3 bitangent;
    vec2 textureCoordinate;
} surface;

layout(location = 0) out vec4 albedoMetal;
layout(location = 1) out vec4 emissiveDistance;
layout(location = 2) out vec4 normalRoughness;

// Colour textures are painted in sRGB; lighting works in linear light.
vec3 linearFromSrgb(vec3 colour) {
    return pow(colour, vec3(2.2));
}

vec3 surfaceNormal() {
    vec3 n = normalize(surface.normal);
    if (hasNormalTexture == 0) {
        return n;
    }
    vec3 t = normalize(surface.tangent - n * dot(n, surface.tangent));
    vec3 b = normalize(surface.bitangent - n * dot(n, surface.bitangent) - t * dot(t, surface.bitangent));
    vec3 tangentSpace = texture(normalMap, surface.textureCoordinate).rgb * 2.0 - 1.0;
    return normalize(mat3(t, b, n) * tangentSpace);
}

void main() {
    vec2 uv = surface.textureCoordinate;
    vec3 albedo = hasAlbedoTexture != 0 ? linearFromSrgb(texture(albedoMap, uv).rgb) : iAlbedo;
    float metal = hasMetalTexture != 0 ? texture(metalMap, uv).r : iMetal;
    float roughness = hasRoughnessTexture != 0 ? texture(roughnessMap, uv).r : iRoughness;
    vec3 emissive = hasEmissiveTexture != 0 ? linearFromSrgb(texture(emissiveMap, uv).rgb)
                                            : iEmissive;

    albedoMetal = vec4(albedo, metal);
    emissiveDistance = vec4(emissive, distance(camPos, surface.worldPosition));
    normalRoughness = vec4(surfaceNormal(), clamp(roughness, 0.04, 1.0));
}
