#include "gpu/MeshFile.hpp"

#include <cstring>
#include <fstream>

#include "MeshBuilder.hpp"
#include "support/Failure.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using test::failureOf;

// Mesh file bytes: magic, counts, `vertices` zeroed records and the given indices.
std::string meshBytes(std::uint32_t nVerts, std::uint32_t nTris, std::size_t vertices,
                      const std::vector<std::uint16_t>& indices, const char* magic = ".KSX") {
    std::string bytes(magic, 4);
    for (const std::uint32_t count : {nVerts, nTris}) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes += static_cast<char>((count >> shift) & 0xFF);
        }
    }
    bytes += std::string(vertices * sizeof(MeshVertex), '\0');
    bytes.append(reinterpret_cast<const char*>(indices.data()), indices.size() * 2);
    return bytes;
}

class MeshFileTest : public test::GlTest {
protected:
    std::string loadFailure(const std::string& bytes) {
        assets.write("meshes/probe.ksx", bytes);
        return failureOf([&] { loadMesh(assets.path(), "probe"); });
    }
};

TEST_F(MeshFileTest, LoadsAWrittenMeshAndIgnoresBytesAfterTheIndices) {
    assetgen::MeshBuilder builder;
    const auto a = builder.addVertex({0, 0, 0}, {0, 0, 1}, {0, 0});
    const auto b = builder.addVertex({1, 0, 0}, {0, 0, 1}, {1, 0});
    const auto c = builder.addVertex({0, 1, 0}, {0, 0, 1}, {0, 1});
    builder.addTriangle(a, b, c);
    ASSERT_TRUE(assetgen::writeMeshFile(builder.finish(), assets.path() / "meshes" / "tri.ksx"));
    {
        std::ofstream extra(assets.path() / "meshes" / "tri.ksx", std::ios::app | std::ios::binary);
        extra << "trailing bytes from some other tool";
    }
    const VAO mesh = loadMesh(assets.path(), "tri");
    EXPECT_EQ(mesh.vertices.count, 3u);
    EXPECT_EQ(mesh.indices.count, 3u);
    MeshVertex second;
    glGetNamedBufferSubData(mesh.vertices.id, sizeof(MeshVertex), sizeof(second), &second);
    EXPECT_EQ(second.position, glm::vec3(1, 0, 0));
    EXPECT_EQ(second.tangent, glm::vec3(1, 0, 0));
}

TEST_F(MeshFileTest, EachDamagedHeaderHasItsMessage) {
    EXPECT_EQ(failureOf([&] { MeshReader(assets.path() / "meshes" / "none.ksx"); }),
              "Failed to open file: \"" + (assets.path() / "meshes" / "none.ksx").string() + "\"");
    EXPECT_EQ(loadFailure(""), "FourCC don't match");
    EXPECT_EQ(loadFailure(".KS"), "FourCC don't match");
    EXPECT_EQ(loadFailure(meshBytes(3, 1, 3, {0, 1, 2}, "KSX.")), "FourCC don't match");
    EXPECT_EQ(loadFailure(".KSX\x03\x00"), "Failed to read 'nVerts'");
    EXPECT_EQ(loadFailure(std::string(".KSX\x03\x00\x00\x00\x01", 9)), "Failed to read 'nTris'");
}

TEST_F(MeshFileTest, EmptyOrShortBlocksFailWhereTheyFallShort) {
    EXPECT_EQ(loadFailure(meshBytes(0, 1, 0, {0, 0, 0})), "Failed to read in vertices");
    EXPECT_EQ(loadFailure(meshBytes(3, 0, 3, {})), "Failed to read in indices");
    EXPECT_EQ(loadFailure(meshBytes(4, 1, 3, {0, 1, 2})), "Failed to read in vertices");
    EXPECT_EQ(loadFailure(meshBytes(3, 2, 3, {0, 1, 2})), "Failed to read in indices");
}

// Counts that would need gigabytes fail before anything is allocated for them.
TEST_F(MeshFileTest, AHeaderAnnouncingBillionsFailsWithoutAllocating) {
    EXPECT_EQ(loadFailure(meshBytes(4'000'000'000u, 1, 1, {0, 0, 0})),
              "Failed to read in vertices");
    EXPECT_EQ(loadFailure(meshBytes(3, 4'000'000'000u, 3, {0, 1, 2})), "Failed to read in indices");
}

TEST_F(MeshFileTest, AnIndexPastTheLastVertexIsRefused) {
    EXPECT_EQ(loadFailure(meshBytes(3, 1, 3, {0, 1, 3})),
              "Mesh index 3 is out of range for 3 vertices");
}

}  // namespace
}  // namespace kes
