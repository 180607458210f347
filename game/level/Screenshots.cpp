#include "game/level/Screenshots.hpp"

#include <ctime>
#include <iostream>

#include "gpu/FrameCapture.hpp"
#include "platform/OpenGL.hpp"
#include "text/DrawableText.hpp"
#include "text/TextRenderer.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

// Under the race display's top lines and the theatre's status line, clear of the timeline.
constexpr glm::vec2 kNoteAt{0.0f, 0.78f};
constexpr float kNoteSize = 0.045f;
constexpr float kNoteSeconds = 3.0f;
// The pictures' names, in the same words whatever the player's language: not translated.
constexpr const char* kStampPattern = "driftline-%Y-%m-%d-%H%M%S";  // not translated
constexpr const char* kExtension = ".png";                          // not translated

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
    std::strftime(stamp, sizeof stamp, kStampPattern, &local);
    std::filesystem::path path = m_folder / (std::string(stamp) + kExtension);
    for (int n = 2; std::filesystem::exists(path, error); ++n) {
        path = m_folder / (std::string(stamp) + "-" + std::to_string(n) + kExtension);
    }
    const CapturedImage image = captureFramebuffer(0, GL_BACK, window.width, window.height);
    // The console says it in English; the screen in the player's words, with a folder's name
    // made drawable (it may hold characters the display has no glyph for).
    if (savePng(image, path)) {
        m_last = path;
        std::cout << "Screenshot saved: " << path.string() << std::endl;
        m_note = fill(tr("Screenshot saved: {1}"), {drawableText(path.string()).text});
    } else {
        std::cout << "Couldn't save the screenshot in " << m_folder.string() << std::endl;
        m_note =
            fill(tr("Couldn't save the screenshot in {1}"), {drawableText(m_folder.string()).text});
    }
}

}  // namespace kes
