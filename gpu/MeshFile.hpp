// Mesh files (".ksx"): the magic ".KSX", the vertex and triangle counts, then the vertices in
// the exact MeshVertex layout and three 16-bit indices per triangle, all little-endian. Bytes
// after the indices are ignored. Files come from disk and are not trusted: the counts are
// checked against the file's size before anything is allocated for them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "gpu/Buffers.hpp"

namespace kes {

inline constexpr char kMeshMagic[4] = {'.', 'K', 'S', 'X'};
inline constexpr long kMeshHeaderSize = 12;  // bytes: magic and two counts

// The two blocks of a mesh file, checked and in memory.
struct MeshBlocks {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint16_t> indices;
};

// One load: the constructor opens the file and checks the header, readVAO uploads the rest.
// The file is closed when the reader goes, also when a step throws.
class MeshReader {
public:
    explicit MeshReader(const std::filesystem::path& path);

    VAO readVAO();
    // The checked blocks without touching the GPU: what readVAO uploads.
    MeshBlocks readBlocks();

    std::uint32_t nVerts = 0;
    std::uint32_t nTris = 0;
    long dataOffset = 0;

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::uint64_t m_fileSize = 0;
};

// "<assets>/meshes/<name>.ksx" in `assetsFolder`.
VAO loadMesh(const std::filesystem::path& assetsFolder, const std::string& name);

}  // namespace kes
