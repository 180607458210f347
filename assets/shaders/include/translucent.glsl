// A translucent surface is lit where it is drawn (the deferred pass never sees it) and
// appended to its pixel's fragment list with opacity ALPHA; both faces count. Where the quality
// level keeps no lists (BLENDED_TRANSLUCENT 1) the lit colour is written with ALPHA instead,
// to be blended over the lit picture.
// Needs perFrame.glsl, lights.glsl, material.glsl, lighting.glsl, a float uniform ALPHA and,
// with lists, fragmentList.glsl and appendFragment.glsl.

#if BLENDED_TRANSLUCENT
out vec4 fragColour;
#endif

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
#if BLENDED_TRANSLUCENT
    fragColour = vec4(colour, clamp(ALPHA, 0.0, 1.0));
#else
    appendFragment(vec4(colour, clamp(ALPHA, 0.0, 1.0)));
#endif
}
