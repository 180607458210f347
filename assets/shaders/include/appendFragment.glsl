// Appending to the per-pixel lists: heads on image unit BINDING_LIST_HEADS, the node counter
// on counter binding BINDING_NODE_COUNTER. Needs fragmentList.glsl.
// Only the fields the lighting pass's resolve reads are written: the link, the depth and the
// lit colour (24 of the node's 72 bytes). The surface fields keep their place in the layout
// and are left as they were; writing them cost a third of the transparency pass on a
// software rasteriser.

layout(binding = BINDING_LIST_HEADS, r32ui) uniform coherent uimage2D listHeads;
layout(binding = BINDING_NODE_COUNTER, offset = 0) uniform atomic_uint nodeCounter;

// Appends the lit fragment (straight alpha) to its pixel's list; beyond the pool's capacity it
// is dropped.
void appendFragment(vec4 colour) {
    uint index = atomicCounterIncrement(nodeCounter);
    if (index >= uint(nodes.length())) {
        return;
    }
    nodes[index].next = imageAtomicExchange(listHeads, ivec2(gl_FragCoord.xy), index);
    nodes[index].depth = gl_FragCoord.z;
    nodes[index].red = colour.r;
    nodes[index].green = colour.g;
    nodes[index].blue = colour.b;
    nodes[index].alpha = colour.a;
}
