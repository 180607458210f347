// Screen lines, fragment stage: each line, dot or panel in its own colour and opacity, blended
// over the picture in the window (already mapped for the display).
// Reads: the colour with its opacity. Writes: the window's colour, blended by the opacity.
#version 430 core

in vec4 colour;

layout(location = 0) out vec4 fragColour;

void main() {
    fragColour = colour;
}
