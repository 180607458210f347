// Debug arrow, fragment stage: the arrow's colour, shaded a little by its normal so its shape
// reads. Reads: the world normal, iColor. Writes: the colour (HDR, before tone mapping).
#version 430 core

uniform vec4 iColor;

in vec3 worldNormal;

out vec4 fragColour;

void main() {
    float shade = 0.6 + 0.4 * abs(normalize(worldNormal).y);
    fragColour = vec4(iColor.rgb * shade, iColor.a);
}
