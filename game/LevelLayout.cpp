#include "game/LevelLayout.hpp"

#include <cmath>

namespace kes::level {

LightDesc sunLight() {
    LightDesc sun{};
    sun.type = kPointLight;
    sun.coefficients = {1.0f, 0.0f, 0.0f};
    sun.factor = 0.1f;
    sun.color = {1.0f, 0.976f, 0.921f};
    sun.position = kSunPosition;
    return sun;
}

Model makeModel(const std::filesystem::path& assetsFolder, const ModelLook& look,
                SphereTessellation tessellation) {
    return look.mesh != nullptr
               ? Model(assetsFolder, look.mesh, look.material, look.albedo, look.metalness,
                       look.roughness, look.emissive)
               : Model(assetsFolder, look.sphereRadius, look.material, look.albedo, look.metalness,
                       look.roughness, look.emissive, tessellation);
}

void restCamera(Camera& camera, const glm::vec3& target) {
    const glm::quat tilt(glm::vec3(kCameraTilt, 0.0f, 0.0f));
    camera.target = target;
    camera.direction = tilt * glm::vec3(0.0f, 0.0f, 1.0f);
    camera.up = tilt * glm::vec3(0.0f, 1.0f, 0.0f);
    camera.distance = kCameraDistance;
    camera.dirty = true;
}

void layOutCourse(RacePath& path) {
    for (const glm::vec3& point : raceControlPoints()) {
        path.addControlPoint(point);
    }
    path.midPointSpacing = kMidPointSpacing;
    path.calculateLength();
    path.calculateMidPoints(kMidPointSpacing);
}

std::vector<std::size_t> zoneMidPoints(std::size_t midPointCount) {
    const std::size_t step = midPointCount / kZoneCount;
    std::vector<std::size_t> indices;
    for (std::size_t zone = 0; step != 0 && zone < kZoneCount; ++zone) {
        indices.push_back(zone * step);
    }
    return indices;
}

std::vector<std::size_t> asteroidMidPoints(std::size_t midPointCount) {
    const std::size_t step = midPointCount / kAsteroidCount;
    std::vector<std::size_t> indices;
    for (std::size_t rock = 0; step != 0 && rock < kAsteroidCount; ++rock) {
        const std::size_t index = rock * step + step / 2 + 5;
        if (index < midPointCount) {
            indices.push_back(index);
        }
    }
    return indices;
}

glm::quat zoneOrientation(const std::vector<PathMidPoint>& mids, std::size_t k) {
    const glm::vec3 p = mids[k].position;
    const glm::vec3 d = glm::normalize(mids[(k + 1) % mids.size()].position - p);
    const glm::vec3 axis = glm::normalize(glm::cross(glm::vec3(1.0f, 0.0f, 0.0f), d));
    return glm::normalize(glm::quat(1.0f + d.x, axis.x, axis.y, axis.z));
}

glm::quat shipLaunchOrientation(const RacePath& path) {
    const glm::vec3 d = glm::normalize(path.getPoint(0.0f) - path.getPoint(0.01f));
    return glm::normalize(glm::quat(std::sqrt(1.0f + d.z), d.y, -d.x, 0.0f));
}

}  // namespace kes::level
