#include "render/CameraRig.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "render/Math.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr std::array<const char*, 4> kViewNames{trLater("chase"), trLater("orbit"),
                                                trLater("trackside"), trLater("free")};
constexpr float kOrbitFov = 70.0f;  // degrees, vertical
constexpr float kFreeFov = 75.0f;
// The trackside view frames about this many units around the ship, within these bounds.
constexpr float kTracksideFrame = 20.0f;
constexpr float kTracksideNarrowest = 12.0f;
constexpr float kTracksideWidest = 70.0f;
constexpr float kZoomStep = 0.85f;      // the orbit's distance a wheel step in
constexpr float kFreeAhead = 6.0f;      // units the free camera flies a wheel step
constexpr float kLookDistance = 10.0f;  // the free camera's target, ahead of its eye

glm::quat turnAbout(const glm::vec3& axis, float degrees) {
    return glm::angleAxis(degrees * kDegreesToRadians, axis);
}

}  // namespace

const char* toString(CameraView view) {
    return kViewNames[static_cast<std::size_t>(view)];
}

std::optional<CameraView> cameraViewFrom(std::string_view name) {
    for (std::size_t i = 0; i < kViewNames.size(); ++i) {
        if (name == kViewNames[i]) {
            return static_cast<CameraView>(i);
        }
    }
    return std::nullopt;
}

void CameraRig::setView(CameraView view) {
    if (view == CameraView::free && m_view != CameraView::free) {
        // From where the view was, looking the same way.
        m_camera->update();
        const glm::vec3 direction = glm::normalize(m_camera->target - m_camera->eye);
        const glm::vec3 side = glm::cross(m_camera->up, direction);
        const glm::vec3 up =
            glm::length(side) > 1e-4f ? glm::cross(direction, glm::normalize(side)) : m_camera->up;
        m_freeEye = m_camera->eye;
        m_freeTurn = glm::quatLookAtLH(direction, glm::normalize(up));
    }
    m_view = view;
    m_camera->dirty = true;
}

void CameraRig::nextView() {
    setView(static_cast<CameraView>((static_cast<std::size_t>(m_view) + 1) % kViewNames.size()));
}

void CameraRig::standBy(const glm::vec3& ringCentre, const glm::quat& ringTurn, float tubeRadius) {
    m_ringCentre = ringCentre;
    m_ringTurn = ringTurn;
    m_tubeRadius = tubeRadius;
}

void CameraRig::update(float frameDt, float time) {
    switch (m_view) {
        case CameraView::chase:
            if (m_chase != nullptr) {
                m_chase->update(frameDt, time);
            }
            return;
        case CameraView::orbit: placeOrbit(); return;
        case CameraView::trackside: placeTrackside(); return;
        case CameraView::free: placeFree(); return;
    }
}

void CameraRig::fixedUpdate(float time) {
    if (m_chase != nullptr) {
        m_chase->fixedUpdate(time);
    }
}

void CameraRig::turn(const glm::vec2& degrees) {
    if (m_view == CameraView::orbit) {
        m_orbitYaw = std::remainder(m_orbitYaw + degrees.x, 360.0f);
        m_orbitPitch = std::clamp(m_orbitPitch - degrees.y, -kSteepestOrbit, kSteepestOrbit);
    } else if (m_view == CameraView::free) {
        // The view's right is its own -x (it looks along +z with +y up).
        m_freeTurn = glm::normalize(m_freeTurn * turnAbout({0.0f, 1.0f, 0.0f}, -degrees.x) *
                                    turnAbout({1.0f, 0.0f, 0.0f}, -degrees.y));
    }
}

void CameraRig::zoom(float steps) {
    if (m_view == CameraView::orbit) {
        m_orbitDistance =
            std::clamp(m_orbitDistance * std::pow(kZoomStep, steps), kNearestOrbit, kFurthestOrbit);
    } else if (m_view == CameraView::free) {
        fly({0.0f, 0.0f, steps * kFreeAhead});
    }
}

void CameraRig::fly(const glm::vec3& units) {
    if (m_view == CameraView::free) {
        m_freeEye += m_freeTurn * glm::vec3(-units.x, units.y, units.z);
    }
}

void CameraRig::placeOrbit() {
    if (m_ship == nullptr) {
        return;
    }
    const Transform& ship = m_ship->render;
    const glm::quat turn = ship.orientation * turnAbout({0.0f, 1.0f, 0.0f}, m_orbitYaw) *
                           turnAbout({1.0f, 0.0f, 0.0f}, m_orbitPitch);
    const glm::vec3 direction = turn * glm::vec3(0.0f, 0.0f, 1.0f);
    look(ship.position - direction * m_orbitDistance, direction, turn * glm::vec3(0.0f, 1.0f, 0.0f),
         kOrbitFov);
}

void CameraRig::placeTrackside() {
    if (m_ship == nullptr) {
        return;
    }
    const glm::vec3 eye =
        m_ringCentre + m_ringTurn * glm::vec3(0.0f, kRingsideLift * m_tubeRadius, 0.0f);
    const glm::vec3 toShip = m_ship->render.position - eye;
    const float distance = glm::length(toShip);
    // The ship passing through the eye itself: the view stays as it was for that moment.
    if (distance < 1e-3f) {
        return;
    }
    const float fov = 2.0f * std::atan(kTracksideFrame / distance) / kDegreesToRadians;
    look(eye, toShip / distance, m_ringTurn * glm::vec3(0.0f, 1.0f, 0.0f),
         std::clamp(fov, kTracksideNarrowest, kTracksideWidest));
}

void CameraRig::placeFree() {
    const glm::vec3 direction = m_freeTurn * glm::vec3(0.0f, 0.0f, 1.0f);
    look(m_freeEye, direction, m_freeTurn * glm::vec3(0.0f, 1.0f, 0.0f), kFreeFov);
}

void CameraRig::look(const glm::vec3& eye, const glm::vec3& direction, const glm::vec3& up,
                     float fov) {
    glm::vec3 side = glm::cross(up, direction);
    if (glm::length(side) < 1e-4f) {
        // Looking straight along `up`: any square up will do.
        side = glm::cross(glm::vec3(0.0f, 0.0f, 1.0f), direction);
        if (glm::length(side) < 1e-4f) {
            side = glm::vec3(1.0f, 0.0f, 0.0f);
        }
    }
    m_camera->distance = kLookDistance;
    m_camera->direction = direction;
    m_camera->up = glm::normalize(glm::cross(direction, glm::normalize(side)));
    m_camera->target = eye + direction * kLookDistance;
    m_camera->fov = fov;
    m_camera->yaw = 0.0f;
    m_camera->pitch = 0.0f;
    m_camera->dirty = true;
}

}  // namespace kes
