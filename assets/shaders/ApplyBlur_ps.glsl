// Bloom, combine: adds the blurred bright parts back onto the image as a glow.
// Reads: the HDR image (UNIT_IMAGE, level 0), the blurred bright parts (UNIT_GLOW).
// Writes: the image with its glow.
#version 430 core

layout(binding = UNIT_IMAGE) uniform sampler2D image;
layout(binding = UNIT_GLOW) uniform sampler2D glow;

in vec2 screenCoordinate;

out vec4 fragColour;

const float GLOW_STRENGTH = 0.8;

void main() {
    vec3 colour = textureLod(image, screenCoordinate, 0.0).rgb;
    vec3 bloom = textureLod(glow, screenCoordinate, 0.0).rgb;
    fragColour = vec4(colour + bloom * GLOW_STRENGTH, 1.0);
}
