// Race-course tube, fragment stage: appends the tube's fragment to its pixel's list, in COLOR
// with opacity ALPHA; the lighting pass sorts and blends the lists. The wall is a little
// brighter where it faces the camera and towards its rim, so the pipe reads as round. The
// tube is drawn twice, as a wire frame and filled, so the bright grid lies over a darker skin.
// It fades out with distance, and fragments too faint to see are not appended: seen from
// inside, the far turns of the course would otherwise stack up more fragments than the lists
// have room for. Fragments are appended only after the depth test against the opaque scene.
// Reads: the interpolated world position and wall offset, COLOR, ALPHA, the per-frame block
// (BINDING_PER_FRAME). Writes: one list node (nodes on BINDING_FRAGMENT_NODES, heads on
// BINDING_LIST_HEADS, counter on BINDING_NODE_COUNTER); no colour.
#version 430 core

layout(early_fragment_tests) in;

#include "include/perFrame.glsl"

#include "include/tubeFade.glsl"

uniform float ALPHA;
uniform vec3 COLOR;

const float FAINTEST = 0.01;  // fragments below this opacity are left out

in vec3 worldPosition;
in vec3 wallOffset;

#include "include/fragmentList.glsl"
#include "include/appendFragment.glsl"

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
    appendFragment(vec4(colour, alpha));
}
