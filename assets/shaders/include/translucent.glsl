// A translucent surface is lit where it is drawn (the deferred pass never sees it) and
// appended to its pixel's fragment list with opacity ALPHA; both faces count.
// Needs perFrame.glsl, lights.glsl, material.glsl, fragmentList.glsl, appendFragment.glsl and
// lighting.glsl, and a float uniform ALPHA.

void appendLitTranslucent(MaterialSample m, vec3 N) {
    vec3 P = surface.worldPosition;
    vec3 V = normalize(camPos - P);
    if (dot(N, V) < 0.0) {
        N = -N;  // the far side of a translucent surface faces away from the eye
    }
    vec3 colour = m.emissive;
    for (uint i = 0u; i < lightCount; ++i) {
        colour += lights[i].ambientFactor * lights[i].color * m.albedo;
        colour += directLight(lights[i], P, N, V, m.albedo, m.metal, m.roughness);
    }
    appendFragment(vec4(colour, clamp(ALPHA, 0.0, 1.0)));
}
