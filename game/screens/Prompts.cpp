#include "game/screens/Prompts.hpp"

#include <algorithm>

#include "game/screens/Menu.hpp"
#include "platform/Language.hpp"
#include "text/TextRenderer.hpp"

namespace kes {
namespace {

// A light cap with a dark key on it, as keys look; a gamepad's button dark with a white name, the
// face buttons round in the colours pads print them in; the words beside it white.
constexpr glm::vec3 kCapFill{0.86f, 0.88f, 0.93f};
constexpr glm::vec3 kCapEdge{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kKeyColour{0.04f, 0.05f, 0.09f};
constexpr glm::vec3 kPadFill{0.22f, 0.24f, 0.28f};
constexpr glm::vec3 kPadEdge{0.75f, 0.78f, 0.85f};
constexpr float kCapOpacity = 0.92f;
constexpr float kKeyCorner = 3.0f;  // pixels
constexpr float kRoundEnds = 1e6f;  // more than half any cap's height: round ends

struct FaceButton {
    char name;
    glm::vec3 colour;
};
constexpr FaceButton kFaceButtons[] = {{'A', {0.18f, 0.62f, 0.22f}},
                                       {'B', {0.78f, 0.16f, 0.14f}},
                                       {'X', {0.16f, 0.38f, 0.85f}},
                                       {'Y', {0.85f, 0.66f, 0.08f}}};

// The face button `keys` names, if it names one.
const FaceButton* faceButton(std::string_view keys) {
    for (const FaceButton& button : kFaceButtons) {
        if (keys.size() == 1 && keys[0] == button.name) {
            return &button;
        }
    }
    return nullptr;
}

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
    // A face button is a disc as wide as it is high; a key or another button fits its name.
    const auto capWidth = [&](const Prompt& prompt, float at) {
        const char* keys = keysOf(prompt);
        if (prompt.onPad && faceButton(keys) != nullptr) {
            return across(2.0f * at * kCapHalfHeight);
        }
        return lineWidth(glyphs, keys, at, m_pixelAspect) + across(2.0f * at * kCapPadding);
    };
    const auto widthAt = [&](float at) {
        float width = 0.0f;
        for (const Prompt& prompt : prompts) {
            width += capWidth(prompt, at) + lineWidth(glyphs, tr(prompt.does), at, m_pixelAspect) +
                     across(at * (kWordGap + kPromptGap));
        }
        return width - across(at * kPromptGap);
    };
    // Every width is in proportion to the size: a line too wide is made smaller to fit.
    const float natural = widthAt(size);
    if (natural > kWidestLine) {
        size *= kWidestLine / natural;
    }
    float x = -std::min(natural, kWidestLine) / 2.0f;
    for (const Prompt& prompt : prompts) {
        const char* keys = keysOf(prompt);
        const float width = capWidth(prompt, size);
        ScreenPanel cap{{x, y - size * kCapHalfHeight},
                        {x + width, y + size * kCapHalfHeight},
                        kCapFill,
                        kCapOpacity,
                        kCapEdge,
                        1.0f,
                        kKeyCorner};
        if (prompt.onPad) {
            const FaceButton* face = faceButton(keys);
            cap.fill = face != nullptr ? face->colour : kPadFill;
            cap.edge = kPadEdge;
            cap.cornerRadius = kRoundEnds;
        }
        m_caps.push_back(cap);
        text.addText(keys, {x + 0.5f * width, y}, size, prompt.onPad ? kMenuWhite : kKeyColour,
                     VerticalAnchor::centred, HorizontalAnchor::centred);
        x += width + across(size * kWordGap);
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
