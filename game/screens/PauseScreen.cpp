#include "game/screens/PauseScreen.hpp"

#include <memory>

#include "game/screens/ScreenStack.hpp"
#include "game/screens/SettingsScreen.hpp"
#include "platform/Language.hpp"

namespace kes {

void PauseScreen::enter() {
    host().setPaused(true);
    MenuScreen::enter();
}

void PauseScreen::act(MenuAction action) {
    if (action == MenuAction::resume) {
        back();
        return;
    }
    MenuScreen::act(action);
}

void PauseScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = tr("PAUSED");
    menu.entries.push_back({tr("Resume"), {}, [this] { back(); }, {}});
    menu.entries.push_back({tr("Restart"),
                            {},
                            [&game] {
                                game.setPaused(false);
                                game.startRace();
                            },
                            {}});
    menu.entries.push_back(
        {tr("Settings"),
         {},
         [&game] { game.screens().push(std::make_unique<SettingsScreen>(game)); },
         {}});
    menu.entries.push_back({tr("Quit to title"),
                            {},
                            [&game] {
                                game.setPaused(false);
                                game.quitToTitle();
                            },
                            {}});
}

void PauseScreen::back() {
    host().setPaused(false);
    host().screens().pop();
}

}  // namespace kes
