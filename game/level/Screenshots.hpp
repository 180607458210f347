// The pictures the player takes: asked for with a key, the frame as drawn (the display
// included) saved after it is drawn as a PNG of the window's size, named by the local time in
// the "screenshots" folder of the player's data folder, and a line on the screen for a few
// seconds saying where it went (or that it could not be saved).
#pragma once

#include <filesystem>
#include <string>

#include "gpu/Viewport.hpp"

namespace kes {

class TextRenderer;

class Screenshots {
public:
    // Pictures go into `folder` (made when the first is saved).
    explicit Screenshots(std::filesystem::path folder) : m_folder(std::move(folder)) {}

    // The next frame drawn is saved.
    void ask() { m_due = true; }
    // After a frame is drawn into the window's back buffer, `time` seconds into the run.
    void afterDrawing(const Viewport& window, float time);
    // The line saying where the latest went, while it is shown.
    void queueNote(TextRenderer& text, float time) const;
    const std::filesystem::path& last() const { return m_last; }

private:
    void save(const Viewport& window);

    std::filesystem::path m_folder;
    bool m_due = false;
    std::filesystem::path m_last;
    std::string m_note;
    float m_noteUntil = -1.0f;
};

}  // namespace kes
