#include "game/level/Captions.hpp"

#include "text/TextRenderer.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr glm::vec2 kAt{0.0f, -0.6f};
constexpr float kSize = 0.055f;
constexpr glm::vec2 kShadowOffset{0.004f, -0.006f};

}  // namespace

const char* Captions::wordsFor(SoundEffect cue) {
    switch (cue) {
        case SoundEffect::zoneChecked: return trLater("[chime] ring touched");
        case SoundEffect::wrongZone: return trLater("[buzz] not the next ring");
        case SoundEffect::asteroidHit: return trLater("[thud] a rock hit the ship");
        case SoundEffect::roundFinished: return trLater("[sting] round finished");
        case SoundEffect::newBest: return trLater("[fanfare] new best time");
        case SoundEffect::countdown:
        case SoundEffect::go:
        case SoundEffect::kCount: break;
    }
    return "";
}

std::string_view Captions::lineAt(float time) {
    if (m_fresh) {
        m_fresh = false;
        m_until = time + kShownSeconds;
    }
    return time < m_until ? tr(wordsFor(m_latest)) : "";
}

void Captions::queue(TextRenderer& text, float time, float scale) {
    const std::string_view words = lineAt(time);
    if (words.empty()) {
        return;
    }
    const glm::vec2 at = grownFromEdges(kAt, scale);
    text.addText(words, at + kShadowOffset * scale, kSize * scale, glm::vec3(0.0f),
                 VerticalAnchor::centred, HorizontalAnchor::centred);
    text.addText(words, at, kSize * scale, glm::vec3(1.0f, 1.0f, 0.85f), VerticalAnchor::centred,
                 HorizontalAnchor::centred);
}

}  // namespace kes
