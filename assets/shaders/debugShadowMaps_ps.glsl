// Shadow-map tile, fragment stage: one layer of the shadow-map array as grey levels, near
// black and far white, stretched so the depths of a scene are told apart.
// Reads: the shadow-map array (UNIT_IMAGE, read without depth comparison), shadowMapIndex.
// Writes: the grey level.
#version 430 core

layout(binding = UNIT_IMAGE) uniform sampler2DArray shadowMaps;
uniform int shadowMapIndex;

in vec2 screenCoordinate;

out vec4 fragColour;

void main() {
    float depth = texture(shadowMaps, vec3(screenCoordinate, float(shadowMapIndex))).r;
    float grey = pow(depth, 32.0);
    fragColour = vec4(vec3(grey), 1.0);
}
