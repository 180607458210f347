// Final pass, fragment stage: maps the HDR image to the screen. Brightness scales the light
// (the settings' value), exposure sets where the curve saturates (0.5 is neutral), a filmic
// curve rolls highlights off smoothly, and the result is gamma-encoded for the display.
// Reads: the HDR image (UNIT_IMAGE), brightness, exposure and their two switches.
// Writes: the display colour.
#version 430 core

layout(binding = UNIT_IMAGE) uniform sampler2D image;
uniform float brightness;
uniform float exposure;
uniform uint enableBrightness;
uniform uint enableExposure;

in vec2 screenCoordinate;

out vec4 fragColour;

// A fitted filmic curve: linear in the shadows, soft shoulder towards white.
vec3 filmic(vec3 x) {
    return clamp((x * (2.51 * x + 0.03)) / (x * (2.43 * x + 0.59) + 0.14), 0.0, 1.0);
}

void main() {
    vec3 colour = textureLod(image, screenCoordinate, 0.0).rgb;
    if (enableBrightness != 0u) {
        colour *= brightness;
    }
    float exposureScale = enableExposure != 0u ? 2.0 * exposure : 1.0;
    vec3 mapped = filmic(max(colour, vec3(0.0)) * exposureScale);
    fragColour = vec4(pow(mapped, vec3(1.0 / 2.2)), 1.0);
}
