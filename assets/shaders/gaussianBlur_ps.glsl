// Bloom, blur pass: one direction of a separable Gaussian blur. A nine-tap kernel is read in
// five fetches, each placed between two texels so the linear filter does the pairing, and
// spread to twice the texel spacing so five rounds give a wide, soft glow.
// Reads: the image to blur (UNIT_IMAGE), `horizontal` (1 along x, 0 along y).
// Writes: the blurred image. At a smaller size BLUR_SPREAD shrinks with it, so the glow reaches
// as far across the picture.
#version 430 core

#ifndef BLUR_SPREAD
#define BLUR_SPREAD 2.0
#endif

layout(binding = UNIT_IMAGE) uniform sampler2D image;
uniform uint horizontal;

in vec2 screenCoordinate;

out vec4 blurred;

const float OFFSETS[3] = float[](0.0, 1.3846154, 3.2307692);
const float WEIGHTS[3] = float[](0.2270270, 0.3162162, 0.0702703);
const float SPREAD = BLUR_SPREAD;

void main() {
    vec2 texel = 1.0 / vec2(textureSize(image, 0));
    vec2 step = SPREAD * (horizontal != 0u ? vec2(texel.x, 0.0) : vec2(0.0, texel.y));
    vec3 sum = textureLod(image, screenCoordinate, 0.0).rgb * WEIGHTS[0];
    for (int i = 1; i < 3; ++i) {
        vec2 offset = step * OFFSETS[i];
        sum += textureLod(image, screenCoordinate + offset, 0.0).rgb * WEIGHTS[i];
        sum += textureLod(image, screenCoordinate - offset, 0.0).rgb * WEIGHTS[i];
    }
    blurred = vec4(sum, 1.0);
}
