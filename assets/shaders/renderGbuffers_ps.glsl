// Deferred lighting, fragment stage: shades every covered pixel (stencil 1) from the G-buffer
// with each light (Cook-Torrance: GGX distribution, Smith-Schlick visibility, Schlick Fresnel),
// the light's shadow map, its ambient share, a faint reflection of the sky, and the surface's
// own emission; a pixel without an opaque surface starts from the sky. Then it resolves the
// pixel's list of transparent fragments: the nearest MAX_FRAGMENTS are sorted by depth and
// blended back to front over that colour.
// G-buffer layout (shared with clearGBuffer_ps and the material shaders):
//   0 (RGBA8):   albedo (linear) rgb, metalness
//   1 (RGBA32F): emissive (linear, unbounded) rgb, distance from the camera
//   2 (RGBA16F): world-space unit normal xyz, roughness
// Reads: the G-buffer (units 0 to 2), the shadow-map array (unit 3), the sky (unit 4), the
// per-frame, light and shadow blocks (bindings 0 to 2), the fragment lists (heads on image
// unit 0, nodes on storage binding 0).
// Writes: the lit HDR colour, opaque.
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

layout(binding = 0) uniform sampler2D albedoMetalMap;
layout(binding = 1) uniform sampler2D emissiveDistanceMap;
layout(binding = 2) uniform sampler2D normalRoughnessMap;
layout(binding = 3) uniform sampler2DArrayShadow shadowMaps;
layout(binding = 4) uniform samplerCube skybox;

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
    uint kind;  // 0 material surface, 1 race-course tube
    float emissiveRed, emissiveGreen, emissiveBlue;
};

layout(std430, binding = 0) buffer FragmentNodes {
    FragmentNode nodes[];
};
layout(binding = 0, r32ui) uniform readonly uimage2D listHeads;

in vec2 screenCoordinate;

out vec4 fragColour;

const float PI = 3.14159265;
const float SHADOW_MAP_SIZE = 1024.0;
const float SKY_REFLECTION = 0.35;
// A pixel blends at most this many transparent fragments, the nearest ones; the tube gives
// four to six where its walls overlap. Farther fragments beyond the limit are left out.
const int MAX_FRAGMENTS = 16;
// Longest list walked: bounds the work of a pixel whatever the lists hold.
const int MAX_LIST_WALK = 256;
const uint EMPTY_LIST = 0xFFFFFFFFu;

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

vec3 ambientLight(vec3 N, vec3 V, vec3 albedo, float metal, float roughness) {
    vec3 ambient = vec3(0.0);
    for (uint i = 0u; i < lightCount; ++i) {
        ambient += lights[i].ambientFactor * lights[i].color;
    }
    vec3 F0 = mix(vec3(0.04), albedo, metal);
    vec3 F = fresnelSchlick(max(dot(N, V), 0.0), F0);
    float blurLevel = roughness * 6.0;
    vec3 sky = pow(textureLod(skybox, reflect(-V, N), blurLevel).rgb, vec3(2.2));
    vec3 reflection = sky * F * (1.0 - roughness) * SKY_REFLECTION;
    return ambient * albedo * (1.0 - metal * 0.5) + reflection;
}

vec3 resolveTransparency(vec3 colour) {
    float depths[MAX_FRAGMENTS];
    vec4 colours[MAX_FRAGMENTS];
    int count = 0;
    uint index = imageLoad(listHeads, ivec2(gl_FragCoord.xy)).r;
    for (int walked = 0; index != EMPTY_LIST && walked < MAX_LIST_WALK; ++walked) {
        if (index >= uint(nodes.length())) {
            break;
        }
        FragmentNode node = nodes[index];
        index = node.next;
        if (count == MAX_FRAGMENTS && node.depth >= depths[MAX_FRAGMENTS - 1]) {
            continue;
        }
        // Insertion into the list sorted near to far, dropping the farthest when full.
        int slot = min(count, MAX_FRAGMENTS - 1);
        while (slot > 0 && depths[slot - 1] > node.depth) {
            depths[slot] = depths[slot - 1];
            colours[slot] = colours[slot - 1];
            --slot;
        }
        depths[slot] = node.depth;
        colours[slot] = vec4(node.red, node.green, node.blue, node.alpha);
        count = min(count + 1, MAX_FRAGMENTS);
    }
    for (int i = count - 1; i >= 0; --i) {
        colour = mix(colour, colours[i].rgb, colours[i].a);
    }
    return colour;
}

vec3 viewRay() {
    vec4 farPoint = viewProjInv * vec4(screenCoordinate * 2.0 - 1.0, 1.0, 1.0);
    return normalize(farPoint.xyz / farPoint.w - camPos);
}

// The world position on the ray through this pixel at the stored distance from the eye.
vec3 worldPosition(float distanceFromEye) {
    return camPos + viewRay() * distanceFromEye;
}

vec3 litSurface(vec4 albedoMetal, vec4 emissiveDistance, vec4 normalRoughness) {
    vec3 albedo = albedoMetal.rgb;
    float metal = albedoMetal.a;
    float roughness = normalRoughness.a;
    vec3 N = normalize(normalRoughness.xyz);
    vec3 P = worldPosition(emissiveDistance.a);
    vec3 V = normalize(camPos - P);

    vec3 colour = emissiveDistance.rgb + ambientLight(N, V, albedo, metal, roughness);
    for (uint i = 0u; i < lightCount; ++i) {
        colour += directLight(lights[i], P, N, V, albedo, metal, roughness);
    }
    return colour;
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec4 albedoMetal = texelFetch(albedoMetalMap, pixel, 0);
    vec4 emissiveDistance = texelFetch(emissiveDistanceMap, pixel, 0);
    vec4 normalRoughness = texelFetch(normalRoughnessMap, pixel, 0);

    // A distance of 0 is the clear value: only transparent fragments cover this pixel.
    bool hasSurface = emissiveDistance.a > 0.0;
    vec3 colour = hasSurface ? litSurface(albedoMetal, emissiveDistance, normalRoughness)
                             : pow(texture(skybox, viewRay()).rgb, vec3(2.2));
    fragColour = vec4(resolveTransparency(colour), 1.0);
}
