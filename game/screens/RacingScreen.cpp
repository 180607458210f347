#include "game/screens/RacingScreen.hpp"

#include <memory>

#include "game/screens/Menu.hpp"
#include "game/screens/PauseScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "platform/Language.hpp"

namespace kes {

void RacingScreen::frame(double /*now*/) {
    if (m_host.paused()) {
        m_host.screens().push(std::make_unique<PauseScreen>(m_host));  // the focus went
    }
}

void RacingScreen::queue(TextRenderer& text, float /*time*/) {
    if (showsGo()) {
        // TRANSLATORS: the start of a race, after 3, 2, 1.
        queueShadowedText(text, tr("GO"), {0.0f, 0.25f}, 0.3f, kMenuAmber);
    }
}

}  // namespace kes
