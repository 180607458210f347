// The water material's moving surface: value noise, drifting waves, the rippled normal and the
// shimmering emission. Needs perFrame.glsl (the time).

// Smooth value noise in 3D, for ripples and the shimmer of the emission.
float hash(vec3 p) {
    p = fract(p * 0.3183099 + 0.1);
    p *= 17.0;
    return fract(p.x * p.y * p.z * (p.x + p.y + p.z));
}

float noise(vec3 p) {
    vec3 i = floor(p);
    vec3 f = fract(p);
    vec3 u = f * f * (3.0 - 2.0 * f);
    return mix(mix(mix(hash(i + vec3(0, 0, 0)), hash(i + vec3(1, 0, 0)), u.x),
                   mix(hash(i + vec3(0, 1, 0)), hash(i + vec3(1, 1, 0)), u.x), u.y),
               mix(mix(hash(i + vec3(0, 0, 1)), hash(i + vec3(1, 0, 1)), u.x),
                   mix(hash(i + vec3(0, 1, 1)), hash(i + vec3(1, 1, 1)), u.x), u.y),
               u.z);
}

// Slowly drifting waves over the surface, laid out in world space.
float waves(vec3 p) {
    vec3 drift = vec3(0.0, time * 0.35, time * 0.2);
    return noise(p * 0.12 + drift) * 0.6 + noise(p * 0.31 - drift * 1.7) * 0.4;
}

vec3 rippledNormal(vec3 n, vec3 p) {
    const float e = 0.5;
    vec3 gradient = vec3(waves(p + vec3(e, 0, 0)) - waves(p - vec3(e, 0, 0)),
                         waves(p + vec3(0, e, 0)) - waves(p - vec3(0, e, 0)),
                         waves(p + vec3(0, 0, e)) - waves(p - vec3(0, 0, e))) / (2.0 * e);
    gradient -= n * dot(n, gradient);
    return normalize(n - gradient * 6.0);
}

// The emission glows unevenly, brighter in the crests.
vec3 shimmeringEmission(vec3 emissive, vec3 p) {
    return emissive * (2.2 + 1.6 * waves(p * 1.7));
}
