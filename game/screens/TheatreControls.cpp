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

constexpr std::array<std::array<const char*, 2>, 2> kFooters{{
    {trLater("Space Play/Pause   Left/Right Step   PgUp/PgDn Ring   Up/Down Speed   "
             "Home Restart   H Display   Esc Back"),
     trLater("C Camera   Drag/WASD Turn or fly   R/F Rise/Fall   Q/E Turn   Wheel/+/- Zoom   "
             "Click timeline Seek   F12 Picture")},
    {trLater("A Play/Pause   D-pad Left/Right Step   LB/RB Ring   D-pad Up/Down Speed   "
             "Y Restart   X Display   B Back"),
     trLater("Back Camera   Right stick Turn   Left stick Fly   LT/RT Zoom")},
}};

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

const char* footerLine(bool gamepad, std::size_t line) {
    return tr(kFooters[gamepad ? 1 : 0][line]);
}

void queueFooter(TextRenderer& text, bool gamepad) {
    for (std::size_t line = 0; line < 2; ++line) {
        queueShadowedText(text, footerLine(gamepad, line),
                          {0.0f, kFooterY - kFooterSpacing * float(line)}, kFooterSize, kMenuWhite);
    }
}

}  // namespace kes::theatre
