// Skybox, vertex stage: the unit cube around the eye, turned with the camera but never moved,
// and pushed to the far plane.
// Reads: the cube corner (location 0), the per-frame block (BINDING_PER_FRAME).
// Writes: the clip position and the view direction through the corner.
#version 430 core

layout(location = 0) in vec3 position;

#include "include/perFrame.glsl"

out vec3 skyDirection;

void main() {
    skyDirection = position;
    vec4 clip = proj * vec4(mat3(view) * position, 1.0);
    gl_Position = clip.xyww;
}
