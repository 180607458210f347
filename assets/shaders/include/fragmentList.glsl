// One transparent fragment in the per-pixel lists (storage binding BINDING_FRAGMENT_NODES): 72
// bytes, as kTransparencyNodeSize says on the C++ side. The appends fill the link, depth and colour; the
// surface fields after them are room the layout keeps, not written today.
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

layout(std430, binding = BINDING_FRAGMENT_NODES) buffer FragmentNodes {
    FragmentNode nodes[];
};
