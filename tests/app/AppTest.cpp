// The whole application object in a real window (under Xvfb). The test executable's folder lies
// inside the source tree, so the search for "assets" climbs to the project's own folder.
#include "app/App.hpp"

#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

// Counts passes through the camera-controller slot and closes the window after a few.
class ClosingController final : public CameraController {
public:
    explicit ClosingController(App& app) : m_app(app) {}
    void update(float, float) override {
        if (++updates == 5) {
            m_app.gl.requestClose();
        }
    }
    void fixedUpdate(float) override { ++fixedUpdates; }
    int updates = 0;
    int fixedUpdates = 0;

private:
    App& m_app;
};

TEST(App, BuildsEverythingFromTheSettingsAndIsTheOnlyInstance) {
    App app;
    EXPECT_EQ(App::instance(), &app);
    EXPECT_EQ(app.assetsPath.filename(), "assets");
    EXPECT_EQ(app.texturesPath, app.assetsPath / "textures");
    EXPECT_EQ(app.settings.path, app.appPath / "settings.ini");
    EXPECT_EQ(app.settings.difficulty, Difficulty::hard);
    EXPECT_FALSE(app.timer.running());
    EXPECT_FALSE(app.localeName.empty());
    EXPECT_EQ(app.renderSize.width, app.settings.width);
    EXPECT_EQ(app.viewport.height, app.settings.height);
    EXPECT_FLOAT_EQ(app.camera.aspect, static_cast<float>(app.settings.width) /
                                           static_cast<float>(app.settings.height));
    EXPECT_EQ(app.camera.eye, glm::vec3(0, 0, -1));
    EXPECT_EQ(app.layers.first(), nullptr);  // its owner adds the layers

    try {
        App second;
        FAIL() << "a second application was constructed";
    } catch (const std::runtime_error& failure) {
        EXPECT_STREQ(failure.what(),
                     "kes::Singleton<class kes::App>::Singleton - There MUST BE only one instance");
    }
    EXPECT_EQ(App::instance(), &app);  // the failed second one changed nothing
}

TEST(App, RunsPassesUntilTheWindowClosesSteppingThePhysicsWorld) {
    App app;
    ClosingController controller(app);
    app.cameraController = &controller;
    RigidBody* body = app.physics.createRigidBody({0, 0, 0}, {0, 0, 0}, {60, 0, 0});
    app.run();
    EXPECT_EQ(controller.updates, 5);
    EXPECT_GE(controller.fixedUpdates, 1);
    // One unit a fixed step at 60 units a second.
    EXPECT_NEAR(body->getTransform().position.x, static_cast<float>(controller.fixedUpdates),
                1e-3f);
    app.cameraController = nullptr;
}

TEST(App, AWindowAlreadyClosingEndsTheLoopBeforeAnyPass) {
    App app;
    ClosingController controller(app);
    app.cameraController = &controller;
    app.gl.requestClose();
    app.run();
    EXPECT_EQ(controller.updates, 0);
    EXPECT_EQ(controller.fixedUpdates, 0);
    app.cameraController = nullptr;
}

TEST(App, TheAssetsSearchClimbsToTheRootAndThenGivesUp) {
    test::TempFolder folder;
    std::filesystem::create_directories(folder.path() / "a" / "b" / "c");
    std::filesystem::create_directories(folder.path() / "a" / "assets" / "shaders");
    // Someone else's "assets" on the way up, without the game's shaders, is passed by.
    std::filesystem::create_directories(folder.path() / "a" / "b" / "assets" / "photos");
    EXPECT_EQ(App::makeAssetsPath(folder.path() / "a" / "b" / "c"), folder.path() / "a" / "assets");
    // A file named "assets" is not the folder.
    test::TempFolder lonely;
    lonely.write("assets", "not a folder");
    if (!std::filesystem::exists("/assets") && !std::filesystem::exists("/tmp/assets")) {
        EXPECT_THROW(App::makeAssetsPath(lonely.path()), std::runtime_error);
    }
}

}  // namespace
}  // namespace kes
