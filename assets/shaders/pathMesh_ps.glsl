// Race-course tube, fragment stage: the plain drawing of the tube in COLOR with opacity ALPHA.
// The wall facing the camera is lit a little more than the far wall, so the pipe reads as
// round. Reads: the interpolated world position and wall offset, the per-frame block
// (binding 0) for the camera position. Writes: one colour with alpha.
#version 430 core

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

in vec3 worldPosition;
in vec3 wallOffset;

out vec4 fragColour;

void main() {
    vec3 toCamera = normalize(camPos - worldPosition);
    float facing = abs(dot(normalize(wallOffset), toCamera));
    fragColour = vec4(COLOR * (0.6 + 0.4 * facing), ALPHA);
}
