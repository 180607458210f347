// Race-course tube, fragment stage: appends the tube's fragment to its pixel's list, in COLOR
// with opacity ALPHA; the lighting pass sorts and blends the lists. The wall is a little
// brighter where it faces the camera and towards its rim, so the pipe reads as round. The
// tube is drawn twice, as a wire frame and filled, so the bright grid lies over a darker skin.
// It fades out with distance, and fragments too faint to see are not appended: seen from
// inside, the far turns of the course would otherwise stack up more fragments than the lists
// have room for. Fragments are appended only after the depth test against the opaque scene.
// Reads: the interpolated world position and wall offset, COLOR, ALPHA, the per-frame block
// (binding 0). Writes: one list node (storage binding 0, heads on image unit 0, counter
// binding 0); no colour.
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

uniform float ALPHA;
uniform vec3 COLOR;

const float FADE_START = 150.0;  // units from the eye where the tube starts to fade
const float FADE_END = 450.0;    // and where it is gone
const float FAINTEST = 0.01;     // fragments below this opacity are left out

in vec3 worldPosition;
in vec3 wallOffset;

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
    node.kind = 1u;
    node.emissiveRed = emissive.r;
    node.emissiveGreen = emissive.g;
    node.emissiveBlue = emissive.b;
    node.next = imageAtomicExchange(listHeads, ivec2(gl_FragCoord.xy), index);
    nodes[index] = node;
}

void main() {
    float fade = 1.0 - smoothstep(FADE_START, FADE_END, distance(camPos, worldPosition));
    float alpha = ALPHA * fade;
    if (alpha < FAINTEST) {
        return;
    }
    vec3 toCamera = normalize(camPos - worldPosition);
    vec3 N = normalize(wallOffset);
    float facing = abs(dot(N, toCamera));
    float rim = pow(1.0 - facing, 3.0);
    vec3 colour = COLOR * (0.6 + 0.4 * facing) + COLOR * rim * 0.5;
    appendFragment(vec4(colour, alpha), N, 0.5, 0.0, worldPosition, vec3(0.0));
}
