// The six vertex layouts the shaders read. Sizes, attribute locations and offsets are fixed:
// the shader files and the mesh files rely on them byte for byte.
#pragma once

#include <cstdint>

#include <glm/glm.hpp>

namespace kes {

struct VertexPos {
    glm::vec3 position;  // location 0
};

struct VertexPosColor {
    glm::vec3 position;   // location 0
    std::uint32_t color;  // location 1, an integer attribute: 0xRRGGBB
};

struct VertexPosUV {
    glm::vec3 position;  // location 0
    glm::vec2 uv;        // location 1
};

struct VertexPosVec3 {
    glm::vec3 position;  // location 0
    glm::vec3 vector;    // location 1; for the race path, the centre of the vertex's ring
};

struct VertexPosNormalUV {
    glm::vec3 position;  // location 0
    glm::vec3 normal;    // location 1
    glm::vec2 uv;        // location 2
};

// The vertex of every mesh file. The surface frame is written by the asset generator and read
// by the material shaders in this order: normal, tangent (along +u), bitangent (along +v).
struct MeshVertex {
    glm::vec3 position;   // location 0
    glm::vec3 normal;     // location 1
    glm::vec3 tangent;    // location 2
    glm::vec3 bitangent;  // location 3
    glm::vec2 uv;         // location 4
};

static_assert(sizeof(VertexPos) == 12);
static_assert(sizeof(VertexPosColor) == 16);
static_assert(sizeof(VertexPosUV) == 20);
static_assert(sizeof(VertexPosVec3) == 24);
static_assert(sizeof(VertexPosNormalUV) == 32);
static_assert(sizeof(MeshVertex) == 56);

}  // namespace kes
