// The light block and the shadow block (bindings BINDING_LIGHTS and BINDING_SHADOWS): up to
// MAX_LIGHTS lights, and the matrices of their shadow maps. Their C++ twins are lightBuffer and
// shadowBuffer.
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

layout(std140, binding = BINDING_LIGHTS) uniform lightBuffer {
    uint lightCount;
    Light lights[MAX_LIGHTS];
};

struct ShadowMatrices {
    mat4 viewProj;
    mat4 viewProjInv;
};

layout(std140, binding = BINDING_SHADOWS) uniform shadowBuffer {
    uint shadowCount;
    ShadowMatrices shadowMatrices[MAX_LIGHTS];
};
