// Bloom, bright pass: keeps the part of each pixel's light above the glow threshold, with a
// soft knee so the glow fades in rather than switching on.
// Reads: the HDR image (UNIT_IMAGE, level 0). Writes: the bright part, HDR.
#version 430 core

layout(binding = UNIT_IMAGE) uniform sampler2D image;

in vec2 screenCoordinate;

out vec4 brightPart;

const float THRESHOLD = 1.0;  // luminance where the glow starts
const float KNEE = 0.5;       // width of the soft start

void main() {
    vec3 colour = textureLod(image, screenCoordinate, 0.0).rgb;
    float luminance = dot(colour, vec3(0.2126, 0.7152, 0.0722));
    float soft = clamp(luminance - THRESHOLD + KNEE, 0.0, 2.0 * KNEE);
    soft = soft * soft / (4.0 * KNEE + 1e-4);
    float contribution = max(soft, luminance - THRESHOLD) / max(luminance, 1e-4);
    brightPart = vec4(colour * contribution, 1.0);
}
