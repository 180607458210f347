#include "gpu/MeshFile.hpp"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace kes {
namespace {

bool readWord(std::FILE* file, std::uint32_t& value) {
    unsigned char bytes[4];
    if (std::fread(bytes, 1, sizeof(bytes), file) != sizeof(bytes)) {
        return false;
    }
    value = std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
            std::uint32_t{bytes[3]} << 24;
    return true;
}

// Reads `count` records straight into the array that is uploaded; the caller has already made
// sure the file holds them all.
template <typename T>
std::vector<T> readBlock(std::FILE* file, std::size_t count, const char* failure) {
    std::vector<T> block(count);
    if (count == 0 || std::fread(block.data(), sizeof(T), count, file) != count) {
        throw std::runtime_error(failure);
    }
    return block;
}

}  // namespace

MeshReader::MeshReader(const std::filesystem::path& path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(path, ignored)) {
        m_file.reset(std::fopen(path.c_str(), "rb"));
    }
    if (!m_file) {
        throw std::runtime_error("Failed to open file: \"" + path.string() + "\"");
    }
    m_fileSize = std::filesystem::file_size(path, ignored);

    char magic[4] = {};
    if (std::fread(magic, 1, sizeof(magic), m_file.get()) != sizeof(magic) ||
        std::memcmp(magic, kMeshMagic, sizeof(magic)) != 0) {
        throw std::runtime_error("FourCC don't match");
    }
    if (!readWord(m_file.get(), nVerts)) {
        throw std::runtime_error("Failed to read 'nVerts'");
    }
    if (!readWord(m_file.get(), nTris)) {
        throw std::runtime_error("Failed to read 'nTris'");
    }
    dataOffset = std::ftell(m_file.get());
}

VAO MeshReader::readVAO() {
    const MeshBlocks blocks = readBlocks();
    return VAO(blocks.vertices, blocks.indices);
}

MeshBlocks MeshReader::readBlocks() {
    std::fseek(m_file.get(), dataOffset, SEEK_SET);
    const std::uint64_t dataBytes =
        m_fileSize > static_cast<std::uint64_t>(dataOffset) ? m_fileSize - dataOffset : 0;
    const std::uint64_t vertexBytes = std::uint64_t{nVerts} * sizeof(MeshVertex);
    const std::uint64_t indexBytes = std::uint64_t{nTris} * 3 * sizeof(std::uint16_t);

    // A header that promises more than the file holds must not make us allocate for it.
    if (vertexBytes > dataBytes) {
        throw std::runtime_error("Failed to read in vertices");
    }
    std::vector<MeshVertex> vertices =
        readBlock<MeshVertex>(m_file.get(), nVerts, "Failed to read in vertices");
    if (indexBytes > dataBytes - vertexBytes) {
        throw std::runtime_error("Failed to read in indices");
    }
    std::vector<std::uint16_t> indices =
        readBlock<std::uint16_t>(m_file.get(), std::size_t{nTris} * 3, "Failed to read in indices");

    // An index past the last vertex would make the GPU read outside the vertex buffer.
    const std::uint16_t highest = *std::max_element(indices.begin(), indices.end());
    if (highest >= nVerts) {
        throw std::runtime_error("Mesh index " + std::to_string(highest) + " is out of range for " +
                                 std::to_string(nVerts) + " vertices");
    }
    return {std::move(vertices), std::move(indices)};
}

VAO loadMesh(const std::filesystem::path& assetsFolder, const std::string& name) {
    MeshReader reader(assetsFolder / "meshes" / (name + ".ksx"));
    return reader.readVAO();
}

}  // namespace kes
