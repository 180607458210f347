// Fuzzes the mesh-file reader: any bytes as a ".ksx" file must end in checked blocks or one of
// the reader's exceptions, never in a crash, a wild read or an allocation the file cannot fill.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include <unistd.h>

#include "gpu/MeshFile.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path =
        "/tmp/driftline-fuzz-mesh-" + std::to_string(::getpid()) + ".ksx";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return 0;
    }
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    try {
        kes::MeshReader reader(path);
        const kes::MeshBlocks blocks = reader.readBlocks();
        // What the reader accepts is consistent: every index names a vertex.
        for (const std::uint16_t index : blocks.indices) {
            if (index >= blocks.vertices.size()) {
                std::abort();
            }
        }
    } catch (const std::exception&) {
        // A refused file is the expected outcome for most inputs.
    }
    return 0;
}
