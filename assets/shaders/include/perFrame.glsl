// The per-frame block (BINDING_PER_FRAME): the camera's matrices and position, the time and the
// size of the render targets. The renderer writes it once a frame; its C++ twin is perFrameData.
layout(std140, binding = BINDING_PER_FRAME) uniform perFrameData {
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
