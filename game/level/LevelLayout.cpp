#include "game/level/LevelLayout.hpp"

namespace kes::level {

LightDesc sunLight(const Course& course) {
    LightDesc sun{};
    sun.type = kPointLight;
    sun.coefficients = {1.0f, 0.0f, 0.0f};
    sun.factor = 0.1f;
    sun.color = course.sun ? course.sun->colour : kSunColour;
    sun.position = sunPosition(course);
    return sun;
}

Model makeModel(const std::filesystem::path& assetsFolder, const ModelLook& look,
                SphereTessellation tessellation) {
    return look.mesh != nullptr
               ? Model(assetsFolder, look.mesh, look.material, look.albedo, look.metalness,
                       look.roughness, look.emissive, look.textures)
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

}  // namespace kes::level
