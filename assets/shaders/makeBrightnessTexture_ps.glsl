// Bloom, bright pass: keeps the part of each pixel's light above the glow threshold, with a
// soft knee so the glow fades in rather than switching on.
// At a smaller size (the medium and low quality levels) it reads the image's mip level of that
// size, BRIGHT_LEVEL.
// Reads: the HDR image (UNIT_IMAGE, level BRIGHT_LEVEL). Writes: the bright part, HDR.
#version 430 core

#ifndef BRIGHT_LEVEL
#define BRIGHT_LEVEL 0.0
#endif

layout(binding = UNIT_IMAGE) uniform sampler2D image;

in vec2 screenCoordinate;

out vec4 brightPart;

const float THRESHOLD = 1.0;  // luminance where the glow starts
const float KNEE = 0.5;       // width of the soft start

void main() {
    vec3 colour = textureLod(image, screenCoordinate, BRIGHT_LEVEL).rgb;
    float luminance = dot(colour, vec3(0.2126, 0.7152, 0.0722));
    float soft = clamp(luminance - THRESHOLD + KNEE, 0.0, 2.0 * KNEE);
    soft = soft * soft / (4.0 * KNEE + 1e-4);
    float contribution = max(soft, luminance - THRESHOLD) / max(luminance, 1e-4);
    brightPart = vec4(colour * contribution, 1.0);
}
