#include "game/level/Screenshots.hpp"

#include <ctime>
#include <iostream>

#include "gpu/FrameCapture.hpp"
#include "platform/OpenGL.hpp"
#include "text/DrawableText.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

// Under the race display's top lines and the theatre's status line, clear of the timeline.
constexpr glm::vec2 kNoteAt{0.0f, 0.78f};
constexpr float kNoteSize = 0.045f;
constexpr float kNoteSeconds = 3.0f;

}  // namespace

void Screenshots::afterDrawing(const Viewport& window, float time) {
    if (m_due) {
        m_due = false;
        save(window);
        m_noteUntil = time + kNoteSeconds;
    }
}

void Screenshots::queueNote(TextRenderer& text, float time) const {
    if (time < m_noteUntil) {
        text.addText(m_note, kNoteAt, kNoteSize, glm::vec3(1.0f), VerticalAnchor::standing,
                     HorizontalAnchor::centred);
    }
}

// Named by the local time, never over an earlier picture.
void Screenshots::save(const Viewport& window) {
    std::error_code error;
    std::filesystem::create_directories(m_folder, error);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "driftline-%Y-%m-%d-%H%M%S", &local);
    std::filesystem::path path = m_folder / (std::string(stamp) + ".png");
    for (int n = 2; std::filesystem::exists(path, error); ++n) {
        path = m_folder / (std::string(stamp) + "-" + std::to_string(n) + ".png");
    }
    const CapturedImage image = captureFramebuffer(0, GL_BACK, window.width, window.height);
    if (savePng(image, path)) {
        m_last = path;
        m_note = "Screenshot saved: " + path.string();
    } else {
        m_note = "Couldn't save the screenshot in " + m_folder.string();
    }
    std::cout << m_note << std::endl;
    // A folder's name may hold characters the display has no glyph for.
    m_note = drawableText(m_note).text;
}

}  // namespace kes
