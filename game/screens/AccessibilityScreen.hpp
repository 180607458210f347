// The Accessibility settings: the next ring's colours for colour-blind players, reduced motion,
// accelerate toggled by a press, and captions for the sound cues; each taken at once and saved
// at once, kept in the [Accessibility] section of the settings.
#pragma once

#include "game/screens/MenuScreen.hpp"

namespace kes {

class AccessibilityScreen final : public MenuScreen {
public:
    explicit AccessibilityScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "accessibility"; }

protected:
    void build(Menu& menu) override;

private:
    void addSwitch(Menu& menu, const char* label, bool Accessibility::*member);
    void addInterfaceSize(Menu& menu);
};

}  // namespace kes
