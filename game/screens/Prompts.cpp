#include "game/screens/Prompts.hpp"

#include <algorithm>

#include "game/screens/Menu.hpp"
#include "platform/Language.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

// A light cap with a dark key on it, as keys and buttons look; the words beside it white.
constexpr glm::vec3 kCapFill{0.86f, 0.88f, 0.93f};
constexpr glm::vec3 kCapEdge{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kKeyColour{0.04f, 0.05f, 0.09f};
constexpr float kCapOpacity = 0.92f;
// In the line's height: the room inside a cap either side of its key, between the cap and its
// words, and between two prompts; the cap's half height.
constexpr float kCapPadding = 0.3f;
constexpr float kWordGap = 0.35f;
constexpr float kPromptGap = 1.3f;
constexpr float kCapHalfHeight = 0.62f;
constexpr float kWidestLine = 1.94f;  // of the screen's 2 units across

const char* keysOf(const Prompt& prompt) {
    return prompt.keysContext != nullptr ? trc(prompt.keysContext, prompt.keys) : tr(prompt.keys);
}

}  // namespace

std::string promptLine(std::span<const Prompt> prompts) {
    std::string line;
    for (const Prompt& prompt : prompts) {
        line += (line.empty() ? "" : "   ") + std::string(prompt.keys) + " " + prompt.does;
    }
    return line;
}

void PromptBar::queue(TextRenderer& text, std::span<const Prompt> prompts, float y, float size) {
    const GlyphAtlas& glyphs = text.glyphs;
    const auto across = [&](float height) {  // a length of the line's height, across
        return height * m_pixelAspect;
    };
    const auto widthAt = [&](float at) {
        float width = 0.0f;
        for (const Prompt& prompt : prompts) {
            width += lineWidth(glyphs, keysOf(prompt), at, m_pixelAspect) +
                     lineWidth(glyphs, tr(prompt.does), at, m_pixelAspect) +
                     across(at * (2.0f * kCapPadding + kWordGap + kPromptGap));
        }
        return width - across(at * kPromptGap);
    };
    const float natural = widthAt(size);
    if (natural > kWidestLine) {
        size *= kWidestLine / natural;
    }
    float x = -widthAt(size) / 2.0f;
    for (const Prompt& prompt : prompts) {
        const char* keys = keysOf(prompt);
        const float keyWidth = lineWidth(glyphs, keys, size, m_pixelAspect);
        ScreenPanel cap{{x, y - size * kCapHalfHeight}, {}, kCapFill, kCapOpacity, kCapEdge, 1.0f};
        x += across(size * kCapPadding);
        text.addText(keys, {x, y}, size, kKeyColour, VerticalAnchor::centred,
                     HorizontalAnchor::starting);
        x += keyWidth + across(size * kCapPadding);
        cap.high = {x, y + size * kCapHalfHeight};
        m_caps.push_back(cap);
        x += across(size * kWordGap);
        const char* does = tr(prompt.does);
        queueShadowedText(text, does, {x, y}, size, kMenuWhite, HorizontalAnchor::starting);
        x += lineWidth(glyphs, does, size, m_pixelAspect) + across(size * kPromptGap);
    }
}

void PromptBar::queueLines(ScreenLines& lines) {
    m_pixelAspect = lines.pixelAspect();
    for (const ScreenPanel& cap : m_caps) {
        lines.addPanel(cap);
    }
    m_caps.clear();
}

}  // namespace kes
