// The drawable of the race course: the tube around the path, with each vertex knowing the
// centre of its ring, and the "path" program that shades it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include <glm/glm.hpp>

#include "gpu/Buffers.hpp"
#include "gpu/Shader.hpp"
#include "gpu/UBO.hpp"
#include "gpu/UniformBlocks.hpp"

namespace kes {

class PathMesh {
public:
    // One ring centre per vertex. The shaders come from the game's assets folder.
    PathMesh(float radius, const std::vector<glm::vec3>& vertices,
             const std::vector<std::uint16_t>& indices, const std::vector<glm::vec3>& ringCentres);
    PathMesh(const std::filesystem::path& assetsFolder, float radius,
             const std::vector<glm::vec3>& vertices, const std::vector<std::uint16_t>& indices,
             const std::vector<glm::vec3>& ringCentres);

    // The tube fades out between these distances from the eye; beyond the second nothing of
    // it is drawn.
    static constexpr float kFadeStart = 150.0f;
    static constexpr float kFadeEnd = 450.0f;
    // Indices of the strip a chunk holds: 16 rings of a column of the tube.
    static constexpr std::size_t kChunkIndices = 32;

    // The triangle strip over the indices (points when there are none), in the caller's
    // polygon mode, depth and blend state. Only the parts of the strip that can come nearer
    // the eye than kFadeEnd are drawn: the rest would have faded out entirely.
    void draw(const UBO<perFrameData>& frameData, const glm::vec3& colour, float alpha);

    VAO mesh;
    Program program;
    float radius;
    GLint radiusLocation;
    GLint alphaLocation;
    GLint colorLocation;
    GLint fadeStartLocation;
    GLint fadeEndLocation;

private:
    // A piece of the strip and a sphere around its triangles.
    struct StripChunk {
        std::size_t first;  // index of its first strip index; it holds kChunkIndices + 2
        std::size_t count;
        glm::vec3 centre;
        float radius;
    };

    void makeChunks(const std::vector<glm::vec3>& vertices,
                    const std::vector<std::uint16_t>& indices);
    // Fills the draw ranges with the chunks that reach nearer `eye` than kFadeEnd, joining
    // neighbours into one range.
    void selectChunks(const glm::vec3& eye);

    std::vector<StripChunk> m_chunks;
    std::vector<GLsizei> m_drawCounts;       // one per range; capacity for every chunk
    std::vector<const void*> m_drawOffsets;  // byte offsets into the index buffer
};

}  // namespace kes
