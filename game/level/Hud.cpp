#include "game/level/Hud.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

#include <glm/glm.hpp>

#include "game/race/FigureText.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr glm::vec3 kHudColour{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kAheadColour{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehindColour{1.0f, 0.3f, 0.25f};

// Each figure stands on its anchor point with its label hanging below it.
// The labels are at least 14 pixels high at 640 x 480 (their capitals two thirds of the size).
constexpr float kLabelSize = 0.1f;
constexpr float kValueSize = 0.14f;
constexpr glm::vec2 kRoundsAt{0.55f, -0.89f};
constexpr glm::vec2 kTimeAt{0.97f, -0.89f};
constexpr glm::vec2 kBestAt{0.97f, -0.6f};
constexpr glm::vec2 kRecordAt{0.55f, -0.6f};
constexpr glm::vec2 kNextZoneAt{-0.97f, 0.78f};
constexpr glm::vec2 kSplitAt{0.0f, 0.55f};
constexpr float kSplitSize = 0.16f;
constexpr glm::vec2 kPausedAt{0.0f, 0.0f};
constexpr float kPausedSize = 0.15f;

// A figure with its label below it, both ending or starting at `at`.
void queueFigure(TextRenderer& text, std::string_view label, std::string_view value,
                 const glm::vec2& at, HorizontalAnchor side, float scale) {
    const glm::vec2 place = grownFromEdges(at, scale);
    text.addText(label, place, kLabelSize * scale, kHudColour, VerticalAnchor::hanging, side);
    text.addText(value, place, kValueSize * scale, kHudColour, VerticalAnchor::standing, side);
}

}  // namespace

void Hud::onSplit(const Split& split) {
    m_split = split;
    m_splitFresh = true;
}

void Hud::onRestart() {
    m_split.reset();
}

void Hud::queue(TextRenderer& text, const HudFacts& facts, float time) {
    constexpr HorizontalAnchor kRight = HorizontalAnchor::ending;
    const float scale = facts.uiScale;
    queueFigure(text, tr("Round"), FigureText::whole(facts.roundsFinished).view(), kRoundsAt,
                kRight, scale);
    queueFigure(text, tr("Time"), FigureText::threeDecimals(facts.roundTime).view(), kTimeAt,
                kRight, scale);
    if (facts.bestTime > 0.0f) {
        queueFigure(text, tr("Best Time"), FigureText::threeDecimals(facts.bestTime).view(),
                    kBestAt, kRight, scale);
    }
    if (facts.recordTime) {
        queueFigure(text, tr("Record"), FigureText::threeDecimals(*facts.recordTime).view(),
                    kRecordAt, kRight, scale);
    }
    queueFigure(text, FigureText::labelled(tr("Next Zone "), facts.nextZone).view(),
                FigureText::whole(std::lround(facts.nextZoneDistance)).view(), kNextZoneAt,
                HorizontalAnchor::starting, scale);
    queueSplit(text, time, scale);
    if (facts.paused) {
        text.addText(tr("Paused"), kPausedAt, kPausedSize * scale, kHudColour,
                     VerticalAnchor::centred, HorizontalAnchor::centred);
    }
}

// Nothing while no best round exists to compare with.
void Hud::queueSplit(TextRenderer& text, float time, float scale) {
    if (m_splitFresh) {
        m_splitShownUntil = time + kSplitShownSeconds;
        m_splitFresh = false;
    }
    if (!m_split || !m_split->delta || time > m_splitShownUntil) {
        return;
    }
    const float delta = *m_split->delta;
    // Where it was: the round's results stand under it.
    text.addText(FigureText::threeDecimals(delta, true).view(), kSplitAt, kSplitSize * scale,
                 delta <= 0.0f ? kAheadColour : kBehindColour, VerticalAnchor::centred,
                 HorizontalAnchor::centred);
}

}  // namespace kes
