// Water material, G-buffer stage: the physically based surface of "pbr" with drifting
// ripples in its normal and a shimmering emission, for glowing liquid bodies such as the sun.
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

// Smooth value noise in 3D, for ripples and the shimmer of the emission.
float hash(vec3 p) {
    p = fract(p * 0.3183099 + 0.1);
    p *= 17.0;
    return fract(p.x * p.y * p.z * (p.x + p.y + p.z));
}

float noise(vec3 p) {
    vec3 i = floor(p);
    vec3 f = fract(p);
    vec3 u = f * f * (3.0 - 2.0 * f);
    return mix(mix(mix(hash(i + vec3(0, 0, 0)), hash(i + vec3(1, 0, 0)), u.x),
                   mix(hash(i + vec3(0, 1, 0)), hash(i + vec3(1, 1, 0)), u.x), u.y),
               mix(mix(hash(i + vec3(0, 0, 1)), hash(i + vec3(1, 0, 1)), u.x),
                   mix(hash(i + vec3(0, 1, 1)), hash(i + vec3(1, 1, 1)), u.x), u.y),
               u.z);
}

// Slowly drifting waves over the surface, laid out in world space.
float waves(vec3 p) {
    vec3 drift = vec3(0.0, time * 0.35, time * 0.2);
    return noise(p * 0.12 + drift) * 0.6 + noise(p * 0.31 - drift * 1.7) * 0.4;
}

vec3 rippledNormal(vec3 n, vec3 p) {
    const float e = 0.5;
    vec3 gradient = vec3(waves(p + vec3(e, 0, 0)) - waves(p - vec3(e, 0, 0)),
                         waves(p + vec3(0, e, 0)) - waves(p - vec3(0, e, 0)),
                         waves(p + vec3(0, 0, e)) - waves(p - vec3(0, 0, e))) / (2.0 * e);
    gradient -= n * dot(n, gradient);
    return normalize(n - gradient * 6.0);
}

// The emission glows unevenly, brighter in the crests.
vec3 shimmeringEmission(vec3 emissive, vec3 p) {
    return emissive * (2.2 + 1.6 * waves(p * 1.7));
}

// Colour textures are painted in sRGB; lighting works in linear light.
vec3 linearFromSrgb(vec3 colour) {
    return pow(colour, vec3(2.2));
}

vec3 surfaceNormal() {
    vec3 n = rippledNormal(normalize(surface.normal), surface.worldPosition);
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
    emissive = shimmeringEmission(emissive, surface.worldPosition);

    albedoMetal = vec4(albedo, metal);
    emissiveDistance = vec4(emissive, distance(camPos, surface.worldPosition));
    normalRoughness = vec4(surfaceNormal(), clamp(roughness, 0.04, 1.0));
}
