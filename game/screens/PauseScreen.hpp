// The pause menu over the race: Resume, Restart, Settings, Quit to title. The race stands
// still while it is shown; Back and Start resume.
#pragma once

#include "game/screens/MenuScreen.hpp"

namespace kes {

class PauseScreen final : public MenuScreen {
public:
    explicit PauseScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "paused"; }

    void enter() override;
    void act(MenuAction action) override;

protected:
    void build(Menu& menu) override;
    void back() override;
};

}  // namespace kes
