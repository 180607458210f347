// A surface lit where it is drawn, for the basic quality level's one forward pass: the same
// lights, ambient share and emission as the deferred lighting, without shadows or the sky's
// reflection, written with opacity ALPHA (1 for the opaque scene, the node's opacity for the
// translucent one, which is blended over it).
// Needs perFrame.glsl, lights.glsl, material.glsl, lighting.glsl and a float uniform ALPHA.

out vec4 fragColour;

void writeLitForward(MaterialSample m, vec3 N) {
    vec3 P = surface.worldPosition;
    vec3 V = normalize(camPos - P);
    if (dot(N, V) < 0.0) {
        N = -N;  // the far side of a translucent surface faces away from the eye
    }
    vec3 ambient = vec3(0.0);
    vec3 colour = m.emissive;
    for (uint i = 0u; i < lightCount; ++i) {
        ambient += lights[i].ambientFactor * lights[i].color;
        colour += directLight(lights[i], P, N, V, m.albedo, m.metal, m.roughness);
    }
    colour += ambient * m.albedo * (1.0 - m.metal * 0.5);
    fragColour = vec4(colour, clamp(ALPHA, 0.0, 1.0));
}
