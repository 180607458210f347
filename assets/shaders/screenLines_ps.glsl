// Screen lines, fragment stage: each line or dot in its own colour, opaque, over the picture
// in the window (already mapped for the display).
// Reads: the colour. Writes: the window's colour.
#version 430 core

in vec3 colour;

layout(location = 0) out vec4 fragColour;

void main() {
    fragColour = vec4(colour, 1.0);
}
