#include "game/screens/PauseScreen.hpp"

#include <memory>

#include "game/screens/ScreenStack.hpp"
#include "game/screens/SettingsScreen.hpp"

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
    menu.title = "PAUSED";
    menu.entries.push_back({"Resume", {}, [this] { back(); }, {}});
    menu.entries.push_back({"Restart",
                            {},
                            [&game] {
                                game.setPaused(false);
                                game.startRace();
                            },
                            {}});
    menu.entries.push_back(
        {"Settings",
         {},
         [&game] { game.screens().push(std::make_unique<SettingsScreen>(game)); },
         {}});
    menu.entries.push_back({"Quit to title",
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
