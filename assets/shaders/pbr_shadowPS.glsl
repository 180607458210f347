// Physically based material, shadow stage: depth only. The shadow map keeps the depth the
// rasteriser writes; there is no colour attachment.
// Reads: nothing. Writes: nothing but depth.
#version 430 core

void main() {
}
