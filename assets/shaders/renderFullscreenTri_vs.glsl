// Full-screen triangle, vertex stage: three vertices made from the vertex index, no buffers.
// The triangle covers the screen and is wound clockwise, the front-face winding of the frame.
// Reads: gl_VertexID. Writes: the clip position and the screen coordinate (0 ... 1).
#version 430 core

out vec2 screenCoordinate;

void main() {
    // 0 -> (0, 0), 1 -> (0, 2), 2 -> (2, 0)
    vec2 corner = vec2(gl_VertexID & 2, (gl_VertexID << 1) & 2);
    screenCoordinate = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, 0.0, 1.0);
}
