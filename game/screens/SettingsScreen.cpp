#include "game/screens/SettingsScreen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "game/screens/ControlsScreen.hpp"
#include "game/screens/ScreenStack.hpp"

namespace kes {
namespace {

std::string percent(float value) {
    return std::to_string(static_cast<int>(std::lround(value * 100.0f))) + " %";
}

float stepped(float value, int step, float by, float lowest, float highest) {
    const float next = std::round((value + by * static_cast<float>(step)) / by) * by;
    return std::clamp(next, lowest, highest);
}

}  // namespace

void SettingsScreen::build(Menu& menu) {
    menu.title = "SETTINGS";
    addWindow(menu);
    addPicture(menu);
    addVolume(menu, "Master volume", &Settings::masterVolume);
    addVolume(menu, "Engine volume", &Settings::engineVolume);
    addVolume(menu, "Effects volume", &Settings::effectsVolume);
    addSplits(menu);
    ScreenHost& game = host();
    menu.entries.push_back(
        {"Controls",
         {},
         [&game] { game.screens().push(std::make_unique<ControlsScreen>(game)); },
         {}});
    menu.entries.push_back({"Back", {}, [this] { back(); }, {}});
}

// What the split at each ring is measured against: the record, or the next medal's time.
void SettingsScreen::addSplits(Menu& menu) {
    ScreenHost& game = host();
    const auto toggle = [&game](int /*step*/) {
        Settings& settings = game.settings();
        settings.splits = settings.splits == SplitsAgainst::record ? SplitsAgainst::target
                                                                   : SplitsAgainst::record;
        game.setSplitsAgainst(settings.splits);
        game.saveSettings();
    };
    menu.entries.push_back({"Splits against",
                            [&game] { return std::string(toString(game.settings().splits)); },
                            [toggle] { toggle(1); }, toggle});
}

void SettingsScreen::addWindow(Menu& menu) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    menu.entries.push_back(
        {"Window",
         [&settings] {
             const bool later = settings.presentation == Presentation::fullscreen;
             return std::to_string(settings.width) + " x " + std::to_string(settings.height) +
                    (later ? " (at the next start)" : "");
         },
         {},
         [&game, &settings](int step) {
             const auto sizes = game.windowSizes(settings.presentation);
             const auto count = static_cast<int>(sizes.size());
             int index = -1;
             for (int i = 0; i < count; ++i) {
                 if (sizes[i].first <= settings.width && sizes[i].second <= settings.height) {
                     index = i;  // the largest that fits the size set
                 }
             }
             const auto& [width, height] =
                 sizes[static_cast<std::size_t>(((index + step) % count + count) % count)];
             settings.width = width;
             settings.height = height;
             if (settings.presentation == Presentation::windowed) {
                 game.resizeWindow(width, height);
             }
             game.saveSettings();
         }});
    menu.entries.push_back(
        {"Presentation",
         [&settings] {
             return std::string(toString(settings.presentation)) + " (at the next start)";
         },
         {},
         [&game, &settings](int) {
             settings.presentation = settings.presentation == Presentation::windowed
                                         ? Presentation::fullscreen
                                         : Presentation::windowed;
             game.saveSettings();
         }});
}

void SettingsScreen::addPicture(Menu& menu) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    menu.entries.push_back(
        {"Brightness",
         [&settings] {
             char text[16];
             std::snprintf(text, sizeof text, "%.1f", double(settings.brightness));
             return std::string(text);
         },
         {},
         [&game, &settings](int step) {
             settings.brightness = stepped(settings.brightness, step, 0.1f, 0.3f, 3.0f);
             game.saveSettings();
         }});
    menu.entries.push_back({"Quality",
                            [&game] { return std::string(toString(game.quality())); },
                            {},
                            [&game, &settings](int step) {
                                settings.quality = steppedQuality(game.quality(), step);
                                game.setQuality(settings.quality, settings.renderScale);
                                game.saveSettings();
                            }});
    menu.entries.push_back({"Render scale",
                            [&game, &settings] {
                                return game.quality() == QualitySetting::automatic
                                           ? std::string("chosen by auto")
                                           : percent(settings.renderScale);
                            },
                            {},
                            [&game, &settings](int step) {
                                settings.renderScale = stepped(settings.renderScale, step, 0.05f,
                                                               Settings::kMinRenderScale, 1.0f);
                                if (game.quality() != QualitySetting::automatic) {
                                    game.setQuality(game.quality(), settings.renderScale);
                                }
                                game.saveSettings();
                            }});
}

void SettingsScreen::addVolume(Menu& menu, const char* label, float Settings::*member) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    menu.entries.push_back({label,
                            [&settings, member] { return percent(settings.*member); },
                            {},
                            [&game, &settings, member](int step) {
                                settings.*member =
                                    stepped(settings.*member, step, 0.1f, 0.0f, 1.0f);
                                game.applyVolumes();
                                game.saveSettings();
                            }});
}

}  // namespace kes
