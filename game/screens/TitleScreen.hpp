// The title: Race, the course with its record, the ghosts, Settings, Replays, Quit; the level
// flown by the autopilot behind it.
#pragma once

#include "game/screens/MenuScreen.hpp"

namespace kes {

class TitleScreen final : public MenuScreen {
public:
    explicit TitleScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "title"; }

protected:
    void build(Menu& menu) override;
    void back() override {}  // the title is the bottom of the stack
};

}  // namespace kes
