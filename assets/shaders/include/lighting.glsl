// Cook-Torrance lighting of a surface point by one light: GGX distribution, Smith-Schlick
// visibility, Schlick Fresnel, the spot cone and a filtered shadow look-up.
// Needs lights.glsl, and a sampler2DArrayShadow named shadowMaps declared before it (each
// pass binds the shadow maps to its own unit); the maps' size is SHADOW_MAP_SIZE texels.
// SOFT_SHADOWS 0 (the low quality level) takes one filtered tap instead of nine; SHADOWS 0 (the
// basic level, which makes no shadow maps) leaves every surface lit and needs no shadowMaps.

#ifndef SOFT_SHADOWS
#define SOFT_SHADOWS 1
#endif
#ifndef SHADOWS
#define SHADOWS 1
#endif

const float PI = 3.14159265;

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

#if SHADOWS
// 0 in shadow, 1 lit. The sample point is moved off the surface along its normal by about a
// texel of the map at that distance, so a lit surface never shadows itself (no acne), while
// the offset is too small to detach a shadow from its caster. The edge is softened by nine
// filtered taps a texel apart; together they weigh the 4 x 4 texels around the point by
// (1 - f, 1, 1, f) along each axis, f being the point's place between texel centres. Four
// gathers read those sixteen comparisons at once, which a software rasteriser does in well
// under half the time of nine filtered taps.
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
    float layer = float(light.shadowMapIndex);
#if SOFT_SHADOWS == 0
    return texture(shadowMaps, vec4(coordinate.xy, layer, coordinate.z));
#else
    float texel = 1.0 / SHADOW_MAP_SIZE;
    vec2 f = fract(coordinate.xy * SHADOW_MAP_SIZE - 0.5);
    // A gather returns the texels (left top, right top, right bottom, left bottom) of the 2 x 2
    // block a filtered tap at its point would read; "top" is the higher row.
    vec4 lowLeft = textureGather(shadowMaps, vec3(coordinate.xy + vec2(-texel), layer),
                                 coordinate.z);
    vec4 lowRight = textureGather(shadowMaps, vec3(coordinate.xy + vec2(texel, -texel), layer),
                                  coordinate.z);
    vec4 highLeft = textureGather(shadowMaps, vec3(coordinate.xy + vec2(-texel, texel), layer),
                                  coordinate.z);
    vec4 highRight = textureGather(shadowMaps, vec3(coordinate.xy + vec2(texel), layer),
                                   coordinate.z);
    // Columns 0 to 3 from left to right, weighed 1 - f.x, 1, 1, f.x; rows likewise.
    vec4 row0 = vec4(lowLeft.w, lowLeft.z, lowRight.w, lowRight.z);
    vec4 row1 = vec4(lowLeft.x, lowLeft.y, lowRight.x, lowRight.y);
    vec4 row2 = vec4(highLeft.w, highLeft.z, highRight.w, highRight.z);
    vec4 row3 = vec4(highLeft.x, highLeft.y, highRight.x, highRight.y);
    vec4 columnWeights = vec4(1.0 - f.x, 1.0, 1.0, f.x);
    vec4 rows = vec4(dot(row0, columnWeights), dot(row1, columnWeights),
                     dot(row2, columnWeights), dot(row3, columnWeights));
    return dot(rows, vec4(1.0 - f.y, 1.0, 1.0, f.y)) / 9.0;
#endif
}
#else
float shadowFactor(Light light, vec3 P, vec3 N, vec3 L, float distanceToLight) {
    return 1.0;
}
#endif

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
