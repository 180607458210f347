// Screen-space reflections. With PASSTHROUGH set it copies the image; otherwise (on pixels
// covered by geometry) it follows the reflected view ray through the G-buffer and mixes what it
// hits into the surface, faintly and by the surface's Fresnel and smoothness; a ray that leaves
// the screen or finds nothing sees the sky. The march is fixed and unjittered, so the result is
// stable from frame to frame.
// Reads: the G-buffer (include/gbuffer.glsl), the image (level 0) and the sky on their units,
// PASSTHROUGH, the per-frame block. Writes: the image with reflections.
#version 430 core

#include "include/perFrame.glsl"

#include "include/gbuffer.glsl"
layout(binding = UNIT_REFLECTION_IMAGE) uniform sampler2D image;
layout(binding = UNIT_REFLECTION_SKY) uniform samplerCube skybox;
uniform uint PASSTHROUGH;

in vec2 screenCoordinate;

out vec4 fragColour;

const int MARCH_STEPS = 40;
const int REFINE_STEPS = 5;
const float STRENGTH = 0.5;  // at most half the surface's colour becomes reflection

vec3 viewRay(vec2 uv) {
    vec4 farPoint = viewProjInv * vec4(uv * 2.0 - 1.0, 1.0, 1.0);
    return normalize(farPoint.xyz / farPoint.w - camPos);
}

// The screen coordinate of a world point; false when it is behind the eye or off screen.
bool project(vec3 world, out vec2 uv) {
    vec4 clip = viewProj * vec4(world, 1.0);
    if (clip.w <= 0.0) {
        return false;
    }
    uv = clip.xy / clip.w * 0.5 + 0.5;
    return all(greaterThanEqual(uv, vec2(0.0))) && all(lessThanEqual(uv, vec2(1.0)));
}

float sceneDistance(vec2 uv) {
    return textureLod(emissiveDistanceMap, uv, 0.0).a;
}

// Marches the ray in growing steps; on a hit, narrows it down and returns what is seen there.
bool traceReflection(vec3 origin, vec3 direction, float startStep, out vec3 seen) {
    float stepLength = startStep;
    float travelled = stepLength;
    float previous = 0.0;
    for (int i = 0; i < MARCH_STEPS; ++i) {
        vec3 point = origin + direction * travelled;
        vec2 uv;
        if (!project(point, uv)) {
            return false;
        }
        float surface = sceneDistance(uv);
        float depthOfRay = distance(camPos, point);
        if (surface > 0.0 && depthOfRay > surface && depthOfRay - surface < stepLength * 2.0) {
            float low = previous;
            float high = travelled;
            for (int r = 0; r < REFINE_STEPS; ++r) {
                float middle = 0.5 * (low + high);
                vec3 probe = origin + direction * middle;
                vec2 probeUv;
                project(probe, probeUv);
                if (distance(camPos, probe) > sceneDistance(probeUv)) {
                    high = middle;
                } else {
                    low = middle;
                }
            }
            vec2 hitUv;
            project(origin + direction * high, hitUv);
            seen = textureLod(image, hitUv, 0.0).rgb;
            return true;
        }
        previous = travelled;
        stepLength *= 1.12;
        travelled += stepLength;
    }
    return false;
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    // Read once for both draws: a software rasteriser runs the reflection code below in the
    // copy draw as well, masked off, so a second read there would cost every pixel.
    vec3 colour = texelFetch(image, pixel, 0).rgb;
    if (PASSTHROUGH != 0u) {
        fragColour = vec4(colour, 1.0);
        return;
    }
    float distanceFromEye = texelFetch(emissiveDistanceMap, pixel, 0).a;
    // Pixels covered only by the tube, and surfaces too rough to mirror anything, keep the
    // copy the first pass made: writing it again would cost as much as the copy did.
    if (distanceFromEye <= 0.0) {
        discard;
    }
    vec4 normalRoughness = texelFetch(normalRoughnessMap, pixel, 0);
    float roughness = normalRoughness.a;
    float smoothness = (1.0 - roughness) * (1.0 - roughness);
    if (smoothness < 0.05) {
        discard;
    }
    vec4 albedoMetal = texelFetch(albedoMetalMap, pixel, 0);
    vec3 N = normalize(normalRoughness.xyz);
    vec3 V = -viewRay(screenCoordinate);
    vec3 P = camPos - V * distanceFromEye;
    vec3 R = reflect(-V, N);

    vec3 F0 = mix(vec3(0.04), albedoMetal.rgb, albedoMetal.a);
    vec3 fresnel = F0 + (1.0 - F0) * pow(1.0 - max(dot(N, V), 0.0), 5.0);

    vec3 seen;
    if (!traceReflection(P + N * 0.05 * distanceFromEye * 0.01, R, 0.02 * distanceFromEye + 0.2,
                         seen)) {
        seen = pow(textureLod(skybox, R, roughness * 6.0).rgb, vec3(2.2));
    }
    vec3 weight = clamp(fresnel * smoothness * STRENGTH, 0.0, 1.0);
    fragColour = vec4(mix(colour, seen, weight), 1.0);
}
