// Screen lines, vertex stage: the corners of the quads a line, a dot or a panel is made of,
// already in the picture's normalised device coordinates.
// Reads: the position (location 0, x and y) and the colour with its opacity as 0xAARRGGBB
// (location 1, integer). Writes: the clip position and the colour with its opacity.
#version 430 core

layout(location = 0) in vec3 position;
layout(location = 1) in uint packedColour;

out vec4 colour;

void main() {
    colour = vec4((packedColour >> 16) & 0xFFu, (packedColour >> 8) & 0xFFu, packedColour & 0xFFu,
                  (packedColour >> 24) & 0xFFu) / 255.0;
    gl_Position = vec4(position.xy, 0.0, 1.0);
}
