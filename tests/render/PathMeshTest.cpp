// The race course's tube, built from the real path and the game's own path shaders, drawn
// once in wire frame and once filled as the renderer will; saved for a person to look at.
#include "render/PathMesh.hpp"

#include <filesystem>

#include "game/RacePath.hpp"
#include "gpu/FrameCapture.hpp"
#include "render/Camera.hpp"
#include "support/GlTest.hpp"

namespace kes {
namespace {

using PathMeshTest = test::GlTest;

TEST_F(PathMeshTest, DrawsTheTubeWithTheGamesPathShaders) {
    RacePath path;
    for (const glm::vec3& point : raceControlPoints()) {
        path.addControlPoint(point);
    }
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> mids;
    path.calculateLength();
    path.calculateMidPoints(10.0f);
    path.generateMesh(25.0f, vertices, indices, mids);
    std::vector<glm::vec3> centres;
    for (const PathMidPoint& mid : mids) {
        centres.push_back(mid.position);
    }
    const PathMesh tube(DRIFTLINE_ASSETS_DIR, 25.0f, vertices, indices, centres);
    EXPECT_EQ(tube.mesh.indices.count, 36'880u);
    EXPECT_NE(tube.radiusLocation, -1);
    EXPECT_NE(tube.colorLocation, -1);
    EXPECT_NE(tube.alphaLocation, -1);

    // Looking down the course from high above its middle.
    Camera camera(70.0f, 1.0f, 1.0f, 3000.0f, {0, 0, 450}, 1400.0f, {0, -1, 0.0001f}, {0, 0, 1});
    UBO<perFrameData> frame(0);
    frame.data.viewProj = camera.viewProj;
    frame.data.camPos = camera.eye;
    frame.upload();

    glViewport(0, 0, 256, 256);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    tube.draw(frame, {0.225f, 0.585f, 1.305f}, 0.5f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    tube.draw(frame, {0.105f, 0.273f, 0.609f}, 0.45f);
    glDisable(GL_BLEND);
    const CapturedImage picture = captureFramebuffer(0, GL_BACK, 256, 256);
    std::filesystem::create_directories("test-output");
    savePng(picture, "test-output/path-tube.png");

    int blue = 0;
    for (int y = 0; y < 256; y += 2) {
        for (int x = 0; x < 256; x += 2) {
            const glm::u8vec4 pixel = picture.at(x, y);
            blue += pixel.b > 60 && pixel.b > pixel.r;
        }
    }
    EXPECT_GT(blue, 128 * 128 / 20);       // the loop of the course covers a good part of the view
    EXPECT_EQ(picture.at(128, 128).b, 0);  // and leaves the middle open
}

}  // namespace
}  // namespace kes
