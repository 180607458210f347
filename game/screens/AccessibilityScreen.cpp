#include "game/screens/AccessibilityScreen.hpp"

#include <cmath>
#include <optional>
#include <string>

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
    addInterfaceSize(menu);
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

// The UI scale: auto, then 75 % to 200 % in quarters; seen at once.
void AccessibilityScreen::addInterfaceSize(Menu& menu) {
    ScreenHost& game = host();
    const auto step = [&game](int by) {
        std::optional<std::int32_t>& scale = game.settings().uiScale;
        constexpr std::int32_t kStep = 25;
        constexpr std::int32_t kChoices = (kMaxUiScale - kMinUiScale) / kStep + 2;  // and auto
        const std::int32_t at = scale ? (*scale - kMinUiScale) / kStep + 1 : 0;
        const std::int32_t next = ((at + by) % kChoices + kChoices) % kChoices;
        scale = next == 0 ? std::nullopt : std::optional(kMinUiScale + (next - 1) * kStep);
        game.saveSettings();
    };
    menu.entries.push_back({tr("Interface size"),
                            [&game] {
                                const auto& scale = game.settings().uiScale;
                                const auto shown =
                                    std::to_string(std::lround(game.uiScale() * 100.0f)) + " %";
                                return scale ? shown : fill(tr("auto ({1})"), {shown});
                            },
                            [step] { step(1); }, step});
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
