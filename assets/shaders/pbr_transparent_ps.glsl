// Physically based material, transparent stage: lights the surface here (the deferred pass
// never sees it), with ALPHA as its opacity, and appends the fragment to its pixel's list for
// the lighting pass to sort and blend. Fragments are appended only after the depth test, so
// surfaces hidden behind opaque geometry cost nothing.
// Reads: the material textures (units 0 to 4) or constants, ALPHA, the shadow-map array
// (unit 5), the per-frame, light and shadow blocks (bindings 0 to 2).
// Writes: one list node (storage binding 0, heads on image unit 0, counter binding 0); no
// colour.
#version 430 core

layout(early_fragment_tests) in;

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

// 80 bytes a light; std140 would pad a vec3 after `type`, so the coefficients are scalars.
struct Light {
    uint type;  // 0 point, 1 spot
    float constantAttenuation;
    float linearAttenuation;
    float quadraticAttenuation;
    vec3 position;
    float ambientFactor;
    vec3 color;
    uint castsShadow;
    vec3 spotDirection;
    uint shadowMapIndex;
    float spotCos0;
    float spotCos1;
    float padding0;
    float padding1;
};

layout(std140, binding = 1) uniform lightBuffer {
    uint lightCount;
    Light lights[10];
};

struct ShadowMatrices {
    mat4 viewProj;
    mat4 viewProjInv;
};

layout(std140, binding = 2) uniform shadowBuffer {
    uint shadowCount;
    ShadowMatrices shadowMatrices[10];
};

layout(binding = 5) uniform sampler2DArrayShadow shadowMaps;

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
layout(location = 9) uniform float ALPHA;

in SurfaceVertex {
    vec3 worldPosition;
    vec3 normal;
    vec3 tangent;
    vec3 bitangent;
    vec2 textureCoordinate;
} surface;

// One transparent fragment: 72 bytes, the layout every shader that appends to or resolves
// the per-pixel lists declares.
struct FragmentNode {
    uint next;  // index of the fragment drawn before it at this pixel, or 0xFFFFFFFF
    float depth;  // window depth, 0 near ... 1 far
    float red, green, blue, alpha;  // lit colour (linear HDR), straight alpha
    float normalX, normalY, normalZ;  // world-space normal
    float roughness;
    float metalness;
    float positionX, positionY, positionZ;  // world position
    uint kind;  // 0 surface, 1 path wire, 2 path fill
    float emissiveRed, emissiveGreen, emissiveBlue;
};

layout(std430, binding = 0) buffer FragmentNodes {
    FragmentNode nodes[];
};
layout(binding = 0, r32ui) uniform coherent uimage2D listHeads;
layout(binding = 0, offset = 0) uniform atomic_uint nodeCounter;

// Appends the fragment to its pixel's list; beyond the pool's capacity it is dropped.
void appendFragment(vec4 colour, vec3 N, float roughness, float metal, vec3 P, vec3 emissive) {
    uint index = atomicCounterIncrement(nodeCounter);
    if (index >= uint(nodes.length())) {
        return;
    }
    FragmentNode node;
    node.depth = gl_FragCoord.z;
    node.red = colour.r;
    node.green = colour.g;
    node.blue = colour.b;
    node.alpha = colour.a;
    node.normalX = N.x;
    node.normalY = N.y;
    node.normalZ = N.z;
    node.roughness = roughness;
    node.metalness = metal;
    node.positionX = P.x;
    node.positionY = P.y;
    node.positionZ = P.z;
    node.kind = 0u;
    node.emissiveRed = emissive.r;
    node.emissiveGreen = emissive.g;
    node.emissiveBlue = emissive.b;
    node.next = imageAtomicExchange(listHeads, ivec2(gl_FragCoord.xy), index);
    nodes[index] = node;
}

const float PI = 3.14159265;
const float SHADOW_MAP_SIZE = 1024.0;

float distributionGGX(float NdotH, float roughness) {
    float a = roughness * roughness;
    float a2 = a * a;
    float d = NdotH * NdotH * (a2 - 1.0) + 1.0;
    return a2 / (PI * d * d);
}

float visibilitySmithSchlick(float NdotV, float NdotL, float roughness) {
    float k = (roughness + 1.0) * (roughness + 1.0) / 8.0;
    float gv = NdotV / (NdotV * (1.0 - k) + k);
    float gl = NdotL / (NdotL * (1.0 - k) + k);
    return gv * gl;
}

vec3 fresnelSchlick(float cosTheta, vec3 F0) {
    return F0 + (1.0 - F0) * pow(1.0 - cosTheta, 5.0);
}

// 0 in shadow, 1 lit. The sample point is moved off the surface along its normal by about a
// texel of the map at that distance, so a lit surface never shadows itself (no acne), while
// the offset is too small to detach a shadow from its caster. Nine filtered taps soften the
// edge.
float shadowFactor(Light light, vec3 P, vec3 N, vec3 L, float distanceToLight) {
    float texelWorldSize = 2.0 * distanceToLight / SHADOW_MAP_SIZE;
    float NdotL = clamp(dot(N, L), 0.0, 1.0);
    vec3 offsetPosition = P + N * texelWorldSize * (1.0 + 1.5 * (1.0 - NdotL));
    vec4 clip = shadowMatrices[light.shadowMapIndex].viewProj * vec4(offsetPosition, 1.0);
    if (clip.w <= 0.0) {
        return 1.0;
    }
    vec3 coordinate = clip.xyz / clip.w * 0.5 + 0.5;
    if (any(lessThan(coordinate, vec3(0.0))) || any(greaterThan(coordinate, vec3(1.0)))) {
        return 1.0;  // outside the map's frustum: nothing was drawn there to cast a shadow
    }
    float texel = 1.0 / SHADOW_MAP_SIZE;
    float lit = 0.0;
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            vec2 uv = coordinate.xy + vec2(x, y) * texel;
            lit += texture(shadowMaps, vec4(uv, float(light.shadowMapIndex), coordinate.z));
        }
    }
    return lit / 9.0;
}

float spotCone(Light light, vec3 L) {
    if (light.type != 1u) {
        return 1.0;
    }
    float cosAngle = dot(-L, normalize(light.spotDirection));
    return smoothstep(light.spotCos1, light.spotCos0, cosAngle);
}

vec3 directLight(Light light, vec3 P, vec3 N, vec3 V, vec3 albedo, float metal, float roughness) {
    vec3 toLight = light.position - P;
    float distanceToLight = length(toLight);
    vec3 L = toLight / distanceToLight;
    float NdotL = dot(N, L);
    if (NdotL <= 0.0) {
        return vec3(0.0);
    }
    float attenuation = 1.0 / max(light.constantAttenuation +
                                      light.linearAttenuation * distanceToLight +
                                      light.quadraticAttenuation * distanceToLight * distanceToLight,
                                  1e-4);
    float shadow = light.castsShadow != 0u ? shadowFactor(light, P, N, L, distanceToLight) : 1.0;
    vec3 H = normalize(V + L);
    float NdotV = max(dot(N, V), 1e-4);
    vec3 F0 = mix(vec3(0.04), albedo, metal);
    vec3 F = fresnelSchlick(max(dot(H, V), 0.0), F0);
    float D = distributionGGX(max(dot(N, H), 0.0), roughness);
    float G = visibilitySmithSchlick(NdotV, NdotL, roughness);
    vec3 specular = D * G * F / (4.0 * NdotV * NdotL + 1e-4);
    vec3 diffuse = (1.0 - F) * (1.0 - metal) * albedo / PI;
    vec3 radiance = light.color * attenuation * spotCone(light, L) * PI;
    return (diffuse + specular) * radiance * NdotL * shadow;
}

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
    roughness = clamp(roughness, 0.04, 1.0);
    vec3 emissive = hasEmissiveTexture != 0 ? linearFromSrgb(texture(emissiveMap, uv).rgb)
                                            : iEmissive;

    vec3 P = surface.worldPosition;
    vec3 N = surfaceNormal();
    vec3 V = normalize(camPos - P);
    if (dot(N, V) < 0.0) {
        N = -N;  // the far side of a translucent surface faces away from the eye
    }
    vec3 colour = emissive;
    for (uint i = 0u; i < lightCount; ++i) {
        colour += lights[i].ambientFactor * lights[i].color * albedo;
        colour += directLight(lights[i], P, N, V, albedo, metal, roughness);
    }
    appendFragment(vec4(colour, clamp(ALPHA, 0.0, 1.0)), N, roughness, metal, P, emissive);
}
