// Deferred lighting, fragment stage: shades every covered pixel (stencil 1) from the G-buffer
// with each light (Cook-Torrance: GGX distribution, Smith-Schlick visibility, Schlick Fresnel),
// the light's shadow map, its ambient share, a faint reflection of the sky, and the surface's
// own emission; a pixel without an opaque surface starts from the sky. Then it resolves the
// pixel's list of transparent fragments: the nearest MAX_FRAGMENTS are sorted by depth and
// blended back to front over that colour.
// Reads: the G-buffer (include/gbuffer.glsl), the shadow-map array and the sky on their units,
// the per-frame, light and shadow blocks, the fragment lists (heads and nodes).
// RESOLVE_FRAGMENT_LISTS 0 (the low quality level, which keeps no lists) leaves the resolve out.
// Writes: the lit HDR colour, opaque.
#version 430 core

#ifndef RESOLVE_FRAGMENT_LISTS
#define RESOLVE_FRAGMENT_LISTS 1
#endif

#include "include/perFrame.glsl"

#include "include/lights.glsl"

#include "include/gbuffer.glsl"
layout(binding = UNIT_LIGHTING_SHADOW_MAPS) uniform sampler2DArrayShadow shadowMaps;
layout(binding = UNIT_LIGHTING_SKY) uniform samplerCube skybox;

#if RESOLVE_FRAGMENT_LISTS
#include "include/fragmentList.glsl"
layout(binding = BINDING_LIST_HEADS, r32ui) uniform readonly uimage2D listHeads;
#endif

in vec2 screenCoordinate;

out vec4 fragColour;

const float SKY_REFLECTION = 0.35;
// A pixel blends at most this many transparent fragments, the nearest ones; the tube gives
// four to six where its walls overlap. Farther fragments beyond the limit are left out.
const int MAX_FRAGMENTS = 16;
// Longest list walked: bounds the work of a pixel whatever the lists hold.
const int MAX_LIST_WALK = 256;
const uint EMPTY_LIST = 0xFFFFFFFFu;

#include "include/lighting.glsl"

// `mirroredSky`: the sky in the mirror direction, blurred by the roughness (see skyLight).
vec3 ambientLight(vec3 N, vec3 V, vec3 albedo, float metal, float roughness, vec3 mirroredSky) {
    vec3 ambient = vec3(0.0);
    for (uint i = 0u; i < lightCount; ++i) {
        ambient += lights[i].ambientFactor * lights[i].color;
    }
    vec3 F0 = mix(vec3(0.04), albedo, metal);
    vec3 F = fresnelSchlick(max(dot(N, V), 0.0), F0);
    vec3 reflection = mirroredSky * F * (1.0 - roughness) * SKY_REFLECTION;
    return ambient * albedo * (1.0 - metal * 0.5) + reflection;
}

#if RESOLVE_FRAGMENT_LISTS
// The sort moves only each fragment's depth and node index; the colours are read from the
// nodes once, while blending. A software rasteriser keeps these arrays in memory and moves every
// element lane by lane, so each value left out of the sort is work saved at every step.
vec3 resolveTransparency(vec3 colour) {
    float depths[MAX_FRAGMENTS];
    uint sorted[MAX_FRAGMENTS];
    int count = 0;
    uint index = imageLoad(listHeads, ivec2(gl_FragCoord.xy)).r;
    for (int walked = 0; index != EMPTY_LIST && walked < MAX_LIST_WALK; ++walked) {
        if (index >= uint(nodes.length())) {
            break;
        }
        uint current = index;
        float depth = nodes[current].depth;
        index = nodes[current].next;
        if (count == MAX_FRAGMENTS && depth >= depths[MAX_FRAGMENTS - 1]) {
            continue;
        }
        // Insertion into the list sorted near to far, dropping the farthest when full.
        int slot = min(count, MAX_FRAGMENTS - 1);
        while (slot > 0 && depths[slot - 1] > depth) {
            depths[slot] = depths[slot - 1];
            sorted[slot] = sorted[slot - 1];
            --slot;
        }
        depths[slot] = depth;
        sorted[slot] = current;
        count = min(count + 1, MAX_FRAGMENTS);
    }
    for (int i = count - 1; i >= 0; --i) {
        FragmentNode node = nodes[sorted[i]];
        colour = mix(colour, vec3(node.red, node.green, node.blue), node.alpha);
    }
    return colour;
}
#else
vec3 resolveTransparency(vec3 colour) {
    return colour;
}
#endif

vec3 viewRay() {
    vec4 farPoint = viewProjInv * vec4(screenCoordinate * 2.0 - 1.0, 1.0, 1.0);
    return normalize(farPoint.xyz / farPoint.w - camPos);
}

// The world position on the ray through this pixel at the stored distance from the eye.
vec3 worldPosition(float distanceFromEye) {
    return camPos + viewRay() * distanceFromEye;
}

vec3 litSurface(vec4 albedoMetal, vec4 emissiveDistance, vec4 normalRoughness,
                vec3 mirroredSky) {
    vec3 albedo = albedoMetal.rgb;
    float metal = albedoMetal.a;
    float roughness = normalRoughness.a;
    vec3 N = normalize(normalRoughness.xyz);
    vec3 P = worldPosition(emissiveDistance.a);
    vec3 V = normalize(camPos - P);

    vec3 colour = emissiveDistance.rgb + ambientLight(N, V, albedo, metal, roughness, mirroredSky);
    for (uint i = 0u; i < lightCount; ++i) {
        colour += directLight(lights[i], P, N, V, albedo, metal, roughness);
    }
    return colour;
}

// The sky a pixel shows, or the sky its surface mirrors, in one cube-map read: a software
// rasteriser runs both sides of a choice for a whole block of pixels, so a read on each side
// would cost every pixel two. The background takes the level its own footprint on the cube
// selects, as an ordinary look-up would; a surface the level of its roughness.
vec3 skyLight(bool hasSurface, vec3 ray, vec3 N, float roughness) {
    vec3 direction = hasSurface ? reflect(ray, N) : ray;
    float level = hasSurface ? roughness * 6.0 : textureQueryLod(skybox, ray).y;
    return pow(textureLod(skybox, direction, level).rgb, vec3(2.2));
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    vec4 albedoMetal = texelFetch(albedoMetalMap, pixel, 0);
    vec4 emissiveDistance = texelFetch(emissiveDistanceMap, pixel, 0);
    vec4 normalRoughness = texelFetch(normalRoughnessMap, pixel, 0);

    // A distance of 0 is the clear value: only transparent fragments cover this pixel.
    bool hasSurface = emissiveDistance.a > 0.0;
    vec3 sky =
        skyLight(hasSurface, viewRay(), normalize(normalRoughness.xyz), normalRoughness.a);
    vec3 colour =
        hasSurface ? litSurface(albedoMetal, emissiveDistance, normalRoughness, sky) : sky;
    fragColour = vec4(resolveTransparency(colour), 1.0);
}
