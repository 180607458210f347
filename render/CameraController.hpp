// Drives the camera each pass; owned by the layer that registers it, never by the application.
#pragma once

namespace kes {

class CameraController {
public:
    virtual void update(float frameDt, float time) = 0;
    virtual void fixedUpdate(float time) = 0;

protected:
    ~CameraController() = default;
};

}  // namespace kes
