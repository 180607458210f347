#include "game/screens/TheatreControls.hpp"

#include <cmath>

#include "game/screens/Menu.hpp"
#include "render/ScreenLines.hpp"
#include "text/TextRenderer.hpp"
#include "platform/Language.hpp"

namespace kes::theatre {
namespace {

constexpr std::array<const char*, kButtonCount> kWords{
    trLater("Restart"), trLater("Ring -"), trLater("Step -"), trLater("Play"),   trLater("Step +"),
    trLater("Ring +"),  trLater("Slower"), trLater("Faster"), trLater("Camera"), trLater("Hide")};
constexpr float kButtonWidth = (kTimelineRight - kTimelineLeft) / float(kButtonCount);
constexpr float kButtonHalfHeight = 0.035f;
constexpr float kButtonGap = 0.008f;  // between two frames, either side
constexpr float kWordSize = 0.035f;
constexpr float kFooterSize = 0.04f;
constexpr float kFooterSpacing = 0.05f;
constexpr glm::vec3 kFrame{0.8f, 0.8f, 0.85f};

constexpr Prompt kKeysFirst[] = {
    {trLater("Space"), trLater("Play/Pause")}, {trLater("Left/Right"), trLater("Step")},
    {trLater("PgUp/PgDn"), trLater("Ring")},   {trLater("Up/Down"), trLater("Speed")},
    {trLater("Home"), trLater("Restart")},     {"H", trLater("Display")},
    {trLater("Esc"), trLater("Back")}};
constexpr Prompt kKeysSecond[] = {{"C", trLater("Camera")},
                                  {trLater("Drag/WASD"), trLater("Turn or fly")},
                                  {"R/F", trLater("Rise/Fall")},
                                  {"Q/E", trLater("Turn")},
                                  {trLater("Wheel/+/-"), trLater("Zoom")},
                                  {trLater("Click timeline"), trLater("Seek")},
                                  {"F12", trLater("Picture")}};
constexpr Prompt kGamepadFirst[] = {{"A", trLater("Play/Pause"), nullptr, true},
                                    {trLater("D-pad Left/Right"), trLater("Step"), nullptr, true},
                                    {trLater("LB/RB"), trLater("Ring"), nullptr, true},
                                    {trLater("D-pad Up/Down"), trLater("Speed"), nullptr, true},
                                    {"Y", trLater("Restart"), nullptr, true},
                                    {"X", trLater("Display"), nullptr, true},
                                    {"B", trLater("Back"), nullptr, true}};
// The gamepad's Back button is named as on the pad, not as the word for going back.
constexpr Prompt kGamepadSecond[] = {
    {trcLater("gamepad button", "Back"), trLater("Camera"), "gamepad button", true},
    {trLater("Right stick"), trLater("Turn"), nullptr, true},
    {trLater("Left stick"), trLater("Fly"), nullptr, true},
    {trLater("LT/RT"), trLater("Zoom"), nullptr, true}};

}  // namespace

float timelineX(float fraction) {
    return kTimelineLeft + (kTimelineRight - kTimelineLeft) * fraction;
}

float timelineFraction(float x) {
    return (x - kTimelineLeft) / (kTimelineRight - kTimelineLeft);
}

bool onTimeline(const glm::vec2& at) {
    constexpr float kReach = 0.04f;
    return std::fabs(at.y - kTimelineY) <= kReach && at.x >= kTimelineLeft - kReach &&
           at.x <= kTimelineRight + kReach;
}

std::optional<Button> buttonAt(const glm::vec2& at) {
    if (std::fabs(at.y - kButtonsY) > kButtonHalfHeight || at.x < kTimelineLeft ||
        at.x >= kTimelineRight) {
        return std::nullopt;
    }
    return static_cast<Button>(static_cast<std::size_t>((at.x - kTimelineLeft) / kButtonWidth));
}

glm::vec2 buttonCentre(Button button) {
    return {kTimelineLeft + (float(static_cast<std::size_t>(button)) + 0.5f) * kButtonWidth,
            kButtonsY};
}

void queueButtonWords(TextRenderer& text, bool playing) {
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        const auto button = static_cast<Button>(i);
        const char* word = button == Button::play && playing ? tr("Pause") : tr(kWords[i]);
        queueShadowedText(text, word, buttonCentre(button), kWordSize, kMenuWhite);
    }
}

void queueButtonFrames(ScreenLines& lines) {
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        const glm::vec2 c = buttonCentre(static_cast<Button>(i));
        const float x0 = c.x - kButtonWidth * 0.5f + kButtonGap;
        const float x1 = c.x + kButtonWidth * 0.5f - kButtonGap;
        const float y0 = c.y - kButtonHalfHeight;
        const float y1 = c.y + kButtonHalfHeight;
        lines.add({{x0, y0}, {x1, y0}, 1.0f, kFrame});
        lines.add({{x1, y0}, {x1, y1}, 1.0f, kFrame});
        lines.add({{x1, y1}, {x0, y1}, 1.0f, kFrame});
        lines.add({{x0, y1}, {x0, y0}, 1.0f, kFrame});
    }
}

std::span<const Prompt> footerLine(bool gamepad, std::size_t line) {
    if (gamepad) {
        return line == 0 ? std::span<const Prompt>(kGamepadFirst) : kGamepadSecond;
    }
    return line == 0 ? std::span<const Prompt>(kKeysFirst) : kKeysSecond;
}

void queueFooter(PromptBar& prompts, TextRenderer& text, bool gamepad) {
    for (std::size_t line = 0; line < 2; ++line) {
        prompts.queue(text, footerLine(gamepad, line), kFooterY - kFooterSpacing * float(line),
                      kFooterSize);
    }
}

}  // namespace kes::theatre
