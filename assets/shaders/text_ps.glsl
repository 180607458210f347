// Text, fragment stage: the atlas holds white glyphs on black, so its red channel is the
// glyph's coverage. The colour stays the text's own and the coverage becomes its opacity, so
// edges blend into the picture without dark fringes. Over a picture already tone-mapped for
// the display, blending happens after the display's gamma: the coverage is raised to
// the coverage exponent (1/2.2 there) so strokes keep the weight they have when blended in light.
// Reads: the atlas (UNIT_IMAGE), its texel size (location 9), the text colour (location 10),
// the coverage exponent (location 11). Writes: the colour with the opacity as alpha.
#version 430 core

layout(binding = UNIT_IMAGE) uniform sampler2D atlas;
layout(location = 9) uniform vec2 texelSize;
layout(location = 10) uniform vec3 textColour;
layout(location = 11) uniform float coverageExponent = 1.0;

in vec2 atlasCoordinate;

out vec4 fragColour;

void main() {
    // Keep half a texel inside the atlas: its wrap mode is repeat, and at the very edge the
    // filter would blend in the opposite edge's pixels.
    vec2 inside = clamp(atlasCoordinate, 0.5 * texelSize, 1.0 - 0.5 * texelSize);
    float coverage = texture(atlas, inside).r;
    fragColour = vec4(textColour, pow(coverage, coverageExponent));
}
