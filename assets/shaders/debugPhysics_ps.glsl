// Physics debug geometry, fragment stage: the shape's colour, see-through by ALPHA.
// Reads: the colour, ALPHA. Writes: the colour with alpha.
#version 430 core

uniform float ALPHA;

in vec3 colour;

out vec4 fragColour;

void main() {
    fragColour = vec4(colour, ALPHA);
}
