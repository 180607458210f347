// Skybox, fragment stage: the star field of the cube map, brought from its sRGB file values to
// the linear light the rest of the frame works in.
// Reads: the cube map (UNIT_IMAGE). Writes: the sky colour, opaque.
#version 430 core

layout(binding = UNIT_IMAGE) uniform samplerCube skybox;

in vec3 skyDirection;

out vec4 fragColour;

void main() {
    vec3 sky = texture(skybox, normalize(skyDirection)).rgb;
    fragColour = vec4(pow(sky, vec3(2.2)), 1.0);
}
