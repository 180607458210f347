#include "game/screens/AccessibilityScreen.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

ColourVision steppedColours(ColourVision colours, int step) {
    constexpr int kCount = 3;
    const int index = static_cast<int>(colours) + step;
    return static_cast<ColourVision>(((index % kCount) + kCount) % kCount);
}

}  // namespace

void AccessibilityScreen::build(Menu& menu) {
    menu.title = tr("ACCESSIBILITY");
    ScreenHost& game = host();
    Accessibility& access = game.settings().access;
    menu.entries.push_back({tr("Ring colours"),
                            [&access] { return std::string(tr(toString(access.colours))); },
                            [&game, &access] {
                                access.colours = steppedColours(access.colours, 1);
                                game.saveSettings();
                            },
                            [&game, &access](int step) {
                                access.colours = steppedColours(access.colours, step);
                                game.saveSettings();
                            }});
    addSwitch(menu, tr("Reduced motion"), &Accessibility::reducedMotion);
    addSwitch(menu, tr("Accelerate"), &Accessibility::accelerateToggles);
    addSwitch(menu, tr("Captions"), &Accessibility::captions);
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

// On and off by Enter or left and right; "Accelerate" says "press to toggle" or "hold".
void AccessibilityScreen::addSwitch(Menu& menu, const char* label, bool Accessibility::*member) {
    ScreenHost& game = host();
    Accessibility& access = game.settings().access;
    const bool accelerate = member == &Accessibility::accelerateToggles;
    const auto flip = [&game, &access, member] {
        access.*member = !(access.*member);
        game.saveSettings();
    };
    menu.entries.push_back({label,
                            [&access, member, accelerate] {
                                const bool on = access.*member;
                                if (accelerate) {
                                    return std::string(on ? tr("press to toggle") : tr("hold"));
                                }
                                return std::string(on ? tr("on") : tr("off"));
                            },
                            flip, [flip](int) { flip(); }});
}

}  // namespace kes
