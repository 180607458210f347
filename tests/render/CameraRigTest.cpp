// The camera rig's views, seen through the camera's own matrices: the orbit keeps the ship in
// the middle of the picture at its distance however it is turned, stops short of the poles and
// zooms within its bounds; the trackside camera stands by the ring, keeps the ship in the
// middle and narrows its view as the ship is further off, and stays put while the ship passes
// through its eye; the free camera starts exactly where the view was, flies ahead along its
// view and turns the way it is told; the chase view is the chase controller's.
#include "render/CameraRig.hpp"

#include <cmath>

#include <gtest/gtest.h>
#include <glm/gtc/quaternion.hpp>

namespace kes {
namespace {

struct CountingChase final : CameraController {
    void update(float, float) override { ++updates; }
    void fixedUpdate(float) override {}
    int updates = 0;
};

struct StillBody final : TransformSource {
    Transform getTransform() const override { return {}; }
};

struct Rig {
    Rig() {
        ship.render = {{10.0f, -4.0f, 30.0f},
                       glm::angleAxis(0.7f, glm::normalize(glm::vec3(0.3f, 1.0f, 0.2f)))};
        rig.follow(&ship);
    }
    // Where `point` lands in the picture (x, y from -1 to 1), after the rig placed the camera.
    glm::vec2 seen(const glm::vec3& point) {
        rig.update(0.0f, 0.0f);
        camera.update();
        const glm::vec4 clip = camera.viewProj * glm::vec4(point, 1.0f);
        EXPECT_GT(clip.w, 0.0f);  // in front
        return glm::vec2(clip) / clip.w;
    }

    Camera camera{80.0f, 16.0f / 9.0f, 0.1f, 5000.0f, glm::vec3(0.0f), 17.0f, {0, 0, 1}, {0, 1, 0}};
    CountingChase chase;
    CameraRig rig{&camera, &chase};
    StillBody body;  // the node's; the tests put the drawn ship where they want it
    SceneNode ship{nullptr, NodeModels{"ship", {nullptr}, {glm::mat4(1.0f)}}, &body, 1.0f};
};

void expectMiddle(const glm::vec2& at) {
    EXPECT_NEAR(at.x, 0.0f, 1e-4f);
    EXPECT_NEAR(at.y, 0.0f, 1e-4f);
}

TEST(CameraRig, TheOrbitKeepsTheShipInTheMiddleWithinItsBounds) {
    Rig r;
    r.rig.setView(CameraView::orbit);
    const glm::vec3 ship = r.ship.render.position;
    expectMiddle(r.seen(ship));
    const glm::vec3 firstEye = r.camera.eye;
    const float distance = glm::distance(firstEye, ship);
    r.rig.turn({90.0f, 30.0f});
    expectMiddle(r.seen(ship));
    EXPECT_NEAR(glm::distance(r.camera.eye, ship), distance, 1e-3f);
    EXPECT_GT(glm::distance(r.camera.eye, firstEye), distance * 0.5f);

    // Over the top is as far as 80 degrees from the ship's level.
    r.rig.turn({0.0f, -1000.0f});
    r.seen(ship);
    const glm::vec3 shipUp = r.ship.render.orientation * glm::vec3(0.0f, 1.0f, 0.0f);
    const float rise = glm::dot(glm::normalize(r.camera.eye - ship), shipUp);
    EXPECT_NEAR(rise, std::sin(glm::radians(CameraRig::kSteepestOrbit)), 1e-3f);

    r.rig.zoom(100.0f);
    r.seen(ship);
    EXPECT_NEAR(glm::distance(r.camera.eye, ship), CameraRig::kNearestOrbit, 1e-3f);
    r.rig.zoom(-100.0f);
    r.seen(ship);
    EXPECT_NEAR(glm::distance(r.camera.eye, ship), CameraRig::kFurthestOrbit, 1e-2f);
    EXPECT_EQ(r.chase.updates, 0);
}

TEST(CameraRig, TheTracksideCameraStandsByTheRingAndWatchesTheShip) {
    Rig r;
    const glm::vec3 ring{0.0f, 0.0f, 200.0f};
    r.rig.standBy(ring, glm::quat(1.0f, 0.0f, 0.0f, 0.0f), 25.0f);
    r.rig.setView(CameraView::trackside);
    const glm::vec3 eye = ring + glm::vec3(0.0f, CameraRig::kRingsideLift * 25.0f, 0.0f);
    expectMiddle(r.seen(r.ship.render.position));
    EXPECT_NEAR(glm::distance(r.camera.eye, eye), 0.0f, 1e-3f);
    const float farFov = r.camera.fov;
    r.ship.render.position = ring + glm::vec3(0.0f, 0.0f, -20.0f);
    expectMiddle(r.seen(r.ship.render.position));
    EXPECT_GT(r.camera.fov, farFov);
    // Through the eye: no view from nowhere, the last one kept.
    const glm::mat4 before = r.camera.viewProj;
    r.ship.render.position = eye;
    r.rig.update(0.0f, 0.0f);
    r.camera.update();
    EXPECT_EQ(r.camera.viewProj, before);
}

TEST(CameraRig, TheFreeCameraStartsWhereTheViewWasAndFliesWhereItLooks) {
    Rig r;
    r.rig.setView(CameraView::orbit);
    r.rig.turn({40.0f, 10.0f});
    const glm::vec3 ship = r.ship.render.position;
    r.seen(ship);
    const glm::vec3 eye = r.camera.eye;
    r.rig.setView(CameraView::free);
    expectMiddle(r.seen(ship));
    EXPECT_NEAR(glm::distance(r.camera.eye, eye), 0.0f, 1e-3f);

    r.rig.fly({0.0f, 0.0f, 5.0f});
    expectMiddle(r.seen(ship));
    EXPECT_NEAR(glm::distance(r.camera.eye, ship), glm::distance(eye, ship) - 5.0f, 1e-3f);
    r.rig.turn({10.0f, 0.0f});  // to the right: the ship goes left
    EXPECT_LT(r.seen(ship).x, -0.05f);
    r.rig.turn({-10.0f, 10.0f});  // back, and up: the ship goes down
    const glm::vec2 afterUp = r.seen(ship);
    EXPECT_NEAR(afterUp.x, 0.0f, 0.02f);
    EXPECT_LT(afterUp.y, -0.05f);
    r.rig.fly({3.0f, 0.0f, 0.0f});  // to the right: the ship goes left
    EXPECT_LT(r.seen(ship).x, afterUp.x - 0.01f);

    r.rig.setView(CameraView::chase);
    r.rig.update(0.0f, 0.0f);
    EXPECT_EQ(r.chase.updates, 1);
    r.rig.nextView();
    EXPECT_EQ(r.rig.view(), CameraView::orbit);
    for (const char* name : {"chase", "orbit", "trackside", "free"}) {
        EXPECT_STREQ(toString(*cameraViewFrom(name)), name);
    }
    EXPECT_FALSE(cameraViewFrom("Orbit"));
}

}  // namespace
}  // namespace kes
