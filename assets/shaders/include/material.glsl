// The inputs of a physically based material's fragment stages: its textures (units UNIT_ALBEDO
// to UNIT_EMISSIVE) or constants, chosen by the has* flags, the interpolated surface, and the
// helpers every material stage uses.

layout(binding = UNIT_ALBEDO) uniform sampler2D albedoMap;
layout(binding = UNIT_NORMAL) uniform sampler2D normalMap;
layout(binding = UNIT_METAL) uniform sampler2D metalMap;
layout(binding = UNIT_ROUGHNESS) uniform sampler2D roughnessMap;
layout(binding = UNIT_EMISSIVE) uniform sampler2D emissiveMap;

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

// Colour textures are painted in sRGB; lighting works in linear light.
vec3 linearFromSrgb(vec3 colour) {
    return pow(colour, vec3(2.2));
}

struct MaterialSample {
    vec3 albedo;     // linear
    float metal;
    float roughness;  // at least 0.04: a perfect mirror would have no highlight to draw
    vec3 emissive;   // linear, unbounded
};

// The material at this fragment: from its textures where it has them, else its constants.
MaterialSample sampleMaterial() {
    vec2 uv = surface.textureCoordinate;
    MaterialSample m;
    m.albedo = hasAlbedoTexture != 0 ? linearFromSrgb(texture(albedoMap, uv).rgb) : iAlbedo;
    m.metal = hasMetalTexture != 0 ? texture(metalMap, uv).r : iMetal;
    float roughness = hasRoughnessTexture != 0 ? texture(roughnessMap, uv).r : iRoughness;
    m.roughness = clamp(roughness, 0.04, 1.0);
    m.emissive = hasEmissiveTexture != 0 ? linearFromSrgb(texture(emissiveMap, uv).rgb)
                                         : iEmissive;
    return m;
}

// The surface normal `n` bent by the normal map, through the surface's frame.
vec3 mappedNormal(vec3 n) {
    if (hasNormalTexture == 0) {
        return n;
    }
    vec3 t = normalize(surface.tangent - n * dot(n, surface.tangent));
    vec3 b = normalize(surface.bitangent - n * dot(n, surface.bitangent) - t * dot(t, surface.bitangent));
    vec3 tangentSpace = texture(normalMap, surface.textureCoordinate).rgb * 2.0 - 1.0;
    return normalize(mat3(t, b, n) * tangentSpace);
}
