// Appending to the per-pixel lists: heads on image unit 0, the node counter on counter
// binding 0. Needs fragmentList.glsl.

layout(binding = 0, r32ui) uniform coherent uimage2D listHeads;
layout(binding = 0, offset = 0) uniform atomic_uint nodeCounter;

// Appends the fragment to its pixel's list; beyond the pool's capacity it is dropped.
// `kind`: 0 material surface, 1 race-course tube.
void appendFragment(vec4 colour, vec3 N, float roughness, float metal, vec3 P, vec3 emissive,
                    uint kind) {
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
    node.kind = kind;
    node.emissiveRed = emissive.r;
    node.emissiveGreen = emissive.g;
    node.emissiveBlue = emissive.b;
    node.next = imageAtomicExchange(listHeads, ivec2(gl_FragCoord.xy), index);
    nodes[index] = node;
}
