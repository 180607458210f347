#include "game/screens/CountdownScreen.hpp"

#include <memory>

#include "game/screens/Menu.hpp"
#include "game/screens/RacingScreen.hpp"
#include "game/screens/ScreenStack.hpp"

namespace kes {

void CountdownScreen::enter() {
    if (m_steps == 0) {
        m_host.holdRace(true);
        m_host.play(SoundEffect::countdown);
    }
}

void CountdownScreen::fixedStep() {
    ++m_steps;
    if (m_steps % kStepsEach != 0) {
        return;
    }
    if (m_steps < kGoStep) {
        m_host.play(SoundEffect::countdown);
        return;
    }
    m_host.play(SoundEffect::go);
    m_host.holdRace(false);
    m_host.screens().replace(std::make_unique<RacingScreen>(m_host));
}

const char* CountdownScreen::shown() const {
    static const char* const kNumbers[] = {"3", "2", "1"};
    return kNumbers[std::min<std::uint32_t>(m_steps / kStepsEach, 2)];
}

void CountdownScreen::queue(TextRenderer& text, float /*time*/) {
    queueShadowedText(text, shown(), {0.0f, 0.25f}, 0.3f, kMenuWhite);
}

}  // namespace kes
