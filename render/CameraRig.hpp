// The level's camera, one of four views: the race's chase camera (the follow controller, which
// the rig drives while it is chosen); an orbit around the ship, turned by the mouse or the right
// stick and zoomed; a trackside camera standing in the next ring and turning with the ship, its
// view narrowing as the ship is further away; and a free camera, which starts where the view
// was and is flown and turned by the viewer. The race plays with the chase camera; the replay
// theatre and the demo choose the others.
#pragma once

#include <optional>
#include <string_view>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "render/Camera.hpp"
#include "render/CameraController.hpp"
#include "render/SceneNode.hpp"

namespace kes {

enum class CameraView { chase, orbit, trackside, free };

// "chase", "orbit", "trackside", "free".
const char* toString(CameraView view);
std::optional<CameraView> cameraViewFrom(std::string_view name);

class CameraRig final : public CameraController {
public:
    static constexpr float kNearestOrbit = 6.0f;  // units from the ship
    static constexpr float kFurthestOrbit = 150.0f;
    static constexpr float kSteepestOrbit = 80.0f;  // degrees above or below the ship
    // Where the trackside camera stands: in the ring's plane, this many tube radii from its
    // centre towards its up (inside the tube wherever it bends, off the ship's line).
    static constexpr float kRingsideLift = 0.5f;

    // Writes `camera`; `chase` drives it in the chase view (none: the chase view keeps the
    // camera as it is). Both must outlive the rig.
    CameraRig(Camera* camera, CameraController* chase) : m_camera(camera), m_chase(chase) {}

    void update(float frameDt, float time) override;
    void fixedUpdate(float time) override;

    // The next view: chase, orbit, trackside, free, chase again. The free camera starts where
    // the camera is.
    void setView(CameraView view);
    void nextView();
    CameraView view() const { return m_view; }

    // What the views look at: the ship (its drawn place), and the ring ahead where the
    // trackside camera stands (its centre and its turn, which faces along the course) in a
    // tube of `tubeRadius`.
    void follow(const SceneNode* ship) { m_ship = ship; }
    void standBy(const glm::vec3& ringCentre, const glm::quat& ringTurn, float tubeRadius);

    // The viewer's hand: `degrees` across (x, to the right) and up (y) turn the orbit around
    // the ship or the free camera's view; `steps` of the wheel zoom the orbit in (positive) or
    // fly the free camera ahead; `units` move the free camera along its own right, up and ahead.
    void turn(const glm::vec2& degrees);
    void zoom(float steps);
    void fly(const glm::vec3& units);

private:
    void placeOrbit();
    void placeTrackside();
    void placeFree();
    // Looks along `direction` from `eye` with `up` made square to it (or another when the two
    // are parallel).
    void look(const glm::vec3& eye, const glm::vec3& direction, const glm::vec3& up, float fov);

    Camera* m_camera;
    CameraController* m_chase;
    const SceneNode* m_ship = nullptr;
    CameraView m_view = CameraView::chase;
    // The orbit: around the ship, in its own frame (behind it at 0, 0), degrees and units.
    float m_orbitYaw = 35.0f;
    float m_orbitPitch = 15.0f;
    float m_orbitDistance = 22.0f;
    // The trackside camera's ring.
    glm::vec3 m_ringCentre{0.0f};
    glm::quat m_ringTurn{1.0f, 0.0f, 0.0f, 0.0f};
    float m_tubeRadius = 25.0f;
    // The free camera: where it stands and how it is turned.
    glm::vec3 m_freeEye{0.0f};
    glm::quat m_freeTurn{1.0f, 0.0f, 0.0f, 0.0f};
};

}  // namespace kes
