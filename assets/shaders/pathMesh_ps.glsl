// Race-course tube, fragment stage: appends the tube's fragment to its pixel's list, in COLOR
// with opacity ALPHA; the lighting pass sorts and blends the lists. The wall is a little
// brighter where it faces the camera and towards its rim, so the pipe reads as round. The
// tube is drawn twice, as a wire frame and filled, so the bright grid lies over a darker skin.
// It fades out with distance, and fragments too faint to see are not appended: seen from
// inside, the far turns of the course would otherwise stack up more fragments than the lists
// have room for. Fragments are appended only after the depth test against the opaque scene.
// The ring of the zone to touch next (HIGHLIGHT: its centre and radius; a radius of 0 for none)
// stands outside the wall, so the wall lies between it and the camera: on the cone from the
// camera to the ring's rim, short of the ring, the wall is nearly clear, and the amber ring
// shows in its own colour through it.
// The wire grid (WIRES 1) fades where its lines would lie fewer than a few pixels apart on the
// screen (far off, or seen at a grazing angle): one-pixel lines that close break into dotted,
// crawling patterns; the skin under them stays.
// ADDITIVE_TUBE 1 (the low quality level, which keeps no lists) writes the colour, weighed by
// its opacity, to be added over the lit picture instead; BLENDED_TUBE 1 (the basic level) writes
// the colour and its opacity for ordinary blending.
// Reads: the interpolated world position and wall offset, COLOR, ALPHA, WIRES, HIGHLIGHT, the
// per-frame block (BINDING_PER_FRAME). Writes: one list node (nodes on BINDING_FRAGMENT_NODES,
// heads on BINDING_LIST_HEADS, counter on BINDING_NODE_COUNTER) and no colour; or, additive,
// the weighed colour; or, blended, the colour with its opacity.
#version 430 core

#ifndef ADDITIVE_TUBE
#define ADDITIVE_TUBE 0
#endif
#ifndef BLENDED_TUBE
#define BLENDED_TUBE 0
#endif
#define TUBE_WRITES_COLOUR (ADDITIVE_TUBE || BLENDED_TUBE)

layout(early_fragment_tests) in;

#include "include/perFrame.glsl"

#include "include/tubeFade.glsl"

uniform float ALPHA;
uniform vec3 COLOR;
uniform vec4 HIGHLIGHT = vec4(0.0);
uniform float WIRES = 0.0;

const float FAINTEST = 0.01;  // fragments below this opacity are left out
const float HIGHLIGHT_OPACITY = 0.12;  // of the wall in front of the next zone's ring
// The grid's lines lie about this many units apart where they are closest (40 around a tube of
// radius 25, rings about 10 apart, and the diagonals between them), and are drawn in full from
// this many pixels apart, gone below the nearer.
const float WIRE_SPACING = 5.0;
const vec2 WIRE_PIXELS = vec2(2.0, 5.0);

in vec3 worldPosition;
in vec3 wallOffset;

#if TUBE_WRITES_COLOUR
out vec4 fragColour;
#else
#include "include/fragmentList.glsl"
#include "include/appendFragment.glsl"
#endif

// 1 where the grid's lines lie well apart on the screen, falling to 0 where they would crowd:
// a unit at the fragment's distance covers this many pixels, fewer across a wall seen at a
// slant. (Worked out from the projection: lines have no useful screen-space derivatives.)
float wireClarity(float facing) {
    float eyeDistance = max(distance(camPos, worldPosition), 1e-3);
    float pixelsPerUnit = 0.5 * float(height) * proj[1][1] / eyeDistance;
    float spacing = WIRE_SPACING * pixelsPerUnit * max(facing, 0.05);
    return smoothstep(WIRE_PIXELS.x, WIRE_PIXELS.y, spacing);
}

// 1 away from the sight of the next ring; HIGHLIGHT_OPACITY on the cone from the camera to the
// ring's rim, in front of the ring, with a soft edge.
float clearingInFrontOfRing() {
    vec3 axis = HIGHLIGHT.xyz - camPos;
    float ringDistance = length(axis);
    if (HIGHLIGHT.w <= 0.0 || ringDistance < 1e-3) {
        return 1.0;
    }
    axis /= ringDistance;
    vec3 fromCamera = worldPosition - camPos;
    float along = dot(fromCamera, axis);
    if (along <= 0.0 || along >= ringDistance) {
        return 1.0;
    }
    float coneRadius = HIGHLIGHT.w * along / ringDistance;
    float offAxis = length(fromCamera - along * axis) / coneRadius;
    return mix(HIGHLIGHT_OPACITY, 1.0, smoothstep(0.85, 1.0, offAxis));
}

void main() {
    float fade = 1.0 - smoothstep(FADE_START, FADE_END, distance(camPos, worldPosition));
    float alpha = ALPHA * fade;
    alpha *= clearingInFrontOfRing();
    vec3 toCamera = normalize(camPos - worldPosition);
    vec3 N = normalize(wallOffset);
    float facing = abs(dot(N, toCamera));
    if (WIRES > 0.5) {
        alpha *= wireClarity(facing);
    }
    if (alpha < FAINTEST) {
#if TUBE_WRITES_COLOUR
        discard;  // a colour left unwritten would be added or blended too
#else
        return;
#endif
    }
    float rim = pow(1.0 - facing, 3.0);
    vec3 colour = COLOR * (0.6 + 0.4 * facing) + COLOR * rim * 0.5;
#if ADDITIVE_TUBE
    fragColour = vec4(colour * alpha, 1.0);
#elif BLENDED_TUBE
    fragColour = vec4(colour, alpha);
#else
    appendFragment(vec4(colour, alpha));
#endif
}
