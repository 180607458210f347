// The settings: window size (a window takes it at once; a full screen offers the monitor's
// modes, taken at the next start), presentation, brightness, quality, render scale, the three
// volumes and the controls; each change heard or seen at once and saved at once.
#pragma once

#include "game/screens/MenuScreen.hpp"

namespace kes {

class SettingsScreen final : public MenuScreen {
public:
    explicit SettingsScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "settings"; }

protected:
    void build(Menu& menu) override;

private:
    void addWindow(Menu& menu);
    void addSplits(Menu& menu);
    void addPicture(Menu& menu);
    void addVolume(Menu& menu, const char* label, float Settings::*member);
};

}  // namespace kes
