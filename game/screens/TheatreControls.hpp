// Where the replay theatre's controls stand on the screen and what they say: the timeline along
// the bottom (a click or a drag seeks), a row of buttons under it for the mouse (each does what
// a key does), and the footer saying the keys, or the gamepad's buttons after the gamepad was
// used. Places are in the text's units: -1 to 1 across the window, y up.
#pragma once

#include <array>
#include <cstddef>
#include <optional>

#include <span>

#include <glm/glm.hpp>

#include "game/screens/Prompts.hpp"

namespace kes {

class ScreenLines;
class TextRenderer;

namespace theatre {

inline constexpr float kTimelineLeft = -0.8f;
inline constexpr float kTimelineRight = 0.8f;
inline constexpr float kTimelineY = -0.7f;
inline constexpr float kButtonsY = -0.81f;  // the buttons' middle
inline constexpr float kFooterY = -0.9f;    // the footer's first line

// Where on the timeline (0 at the start, 1 at the finish) a fraction stands, and back.
float timelineX(float fraction);
float timelineFraction(float x);
// Whether a click at `at` lands on the timeline (a little around its line).
bool onTimeline(const glm::vec2& at);

enum class Button {
    restart,
    ringBack,
    stepBack,
    play,
    stepForward,
    ringNext,
    slower,
    faster,
    camera,
    hide,
};
inline constexpr std::size_t kButtonCount = 10;

// The button under `at`, if any.
std::optional<Button> buttonAt(const glm::vec2& at);
// The button's middle.
glm::vec2 buttonCentre(Button button);
// The row: a frame a button and its word ("Pause" on the play button while playing).
void queueButtonWords(TextRenderer& text, bool playing);
void queueButtonFrames(ScreenLines& lines);

// The footer's two lines, for the keyboard or the gamepad.
void queueFooter(PromptBar& prompts, TextRenderer& text, bool gamepad);
std::span<const Prompt> footerLine(bool gamepad, std::size_t line);

}  // namespace theatre
}  // namespace kes
