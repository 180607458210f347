#!/usr/bin/env bash
# The demo smoke test must fail when a pass raises a GL error. Installs the demo beside a copy
# of the assets whose final shader declares a switch as float while the renderer sets it as
# uint (a GL_INVALID_OPERATION every frame), runs the smoke test on it and expects it to fail
# for that reason. Usage: demo_smoke_catches_gl_errors.sh <driftline-demo> <assets folder>
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin"
cp "$1" "$work/bin/driftline-demo"
cp -r "$2" "$work/assets"
shader="$work/assets/shaders/renderFinalFBO_ps.glsl"
sed -i 's/uniform uint enableBrightness;/uniform float enableBrightness;/;
        s/enableBrightness != 0u/enableBrightness != 0.0/' "$shader"
grep -q "uniform float enableBrightness;" "$shader" || { echo "FAIL: could not break the shader"; exit 1; }

"$here/demo_smoke.sh" "$work/bin/driftline-demo" >"$work/smoke.txt" 2>&1
status=$?
if [ "$status" -eq 0 ]; then
    echo "FAIL: the smoke test passed although every frame raised a GL error"
    exit 1
fi
if ! grep -q "FAIL: the GL debug output reported problems: GL debug messages: [0-9]* (high [1-9]" \
    "$work/smoke.txt"; then
    echo "FAIL: the smoke test failed, but not for the GL error:"
    grep "FAIL" "$work/smoke.txt"
    exit 1
fi
grep -m1 "FAIL: the GL debug output" "$work/smoke.txt"
echo "demo smoke catches GL errors: it failed as it should"
