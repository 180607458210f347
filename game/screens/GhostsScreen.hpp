// The ghosts raced against: the first and the second (record, best, last, prime or off; left
// and right step through them, each taken and saved at once), and the course's table of
// proven ghosts.
#pragma once

#include "game/screens/MenuScreen.hpp"

namespace kes {

class GhostsScreen final : public MenuScreen {
public:
    explicit GhostsScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "ghosts"; }

protected:
    void build(Menu& menu) override;

private:
    void addChoice(Menu& menu, const char* label, GhostSetting Settings::*which);
};

// The proven ghosts of the raced course with their player, time and medal, fastest first;
// Enter races one as the first ghost. Imported with "driftline --import FILE".
class GhostTableScreen final : public MenuScreen {
public:
    explicit GhostTableScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "ghost table"; }

protected:
    void build(Menu& menu) override;
};

}  // namespace kes
