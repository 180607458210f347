// Captions for the race's sound cues, for players who cannot hear them: a short line at the
// foot of the picture for a few seconds after each chime, buzz, thud, sting or fanfare, when
// the player turned them on (the Accessibility settings).
#pragma once

#include <string_view>

#include "platform/SoundService.hpp"

namespace kes {

class TextRenderer;

class Captions {
public:
    static constexpr float kShownSeconds = 2.5f;

    // A cue was played: its line is shown from the next frame drawn.
    void heard(SoundEffect cue) {
        m_latest = cue;
        m_fresh = true;
    }
    // The latest cue's line, for a few seconds after it was heard (`time`: the run's seconds;
    // the first frame after a cue starts its time); empty when none is shown.
    std::string_view lineAt(float time);
    // Larger by the UI scale `scale`, standing as far above the bottom times the scale.
    void queue(TextRenderer& text, float time, float scale = 1.0f);
    // "[chime] ring touched"; empty for the countdown's beeps, which the countdown shows.
    static const char* wordsFor(SoundEffect cue);

private:
    SoundEffect m_latest = SoundEffect::kCount;
    bool m_fresh = false;
    float m_until = -1.0f;
};

}  // namespace kes
