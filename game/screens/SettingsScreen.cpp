#include "game/screens/SettingsScreen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <tuple>

#include "game/screens/AccessibilityScreen.hpp"
#include "game/screens/ControlsScreen.hpp"
#include "game/screens/ScreenStack.hpp"
#include "platform/Language.hpp"

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
    menu.title = tr("SETTINGS");
    addWindow(menu);
    addPicture(menu);
    addVolume(menu, tr("Master volume"), &Settings::masterVolume);
    addVolume(menu, tr("Engine volume"), &Settings::engineVolume);
    addVolume(menu, tr("Effects volume"), &Settings::effectsVolume);
    addSplits(menu);
    ScreenHost& game = host();
    menu.entries.push_back(
        {tr("Controls"),
         {},
         [&game] { game.screens().push(std::make_unique<ControlsScreen>(game)); },
         {}});
    menu.entries.push_back(
        {tr("Accessibility"),
         {},
         [&game] { game.screens().push(std::make_unique<AccessibilityScreen>(game)); },
         {}});
    addLanguage(menu);
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
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
    menu.entries.push_back({tr("Splits against"),
                            [&game] { return std::string(tr(toString(game.settings().splits))); },
                            [toggle] { toggle(1); }, toggle});
}

void SettingsScreen::addWindow(Menu& menu) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    menu.entries.push_back(
        {tr("Window"),
         [&settings] {
             return std::to_string(settings.width) + " x " + std::to_string(settings.height);
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
             game.applyWindow();
             game.saveSettings();
         }});
    menu.entries.push_back(
        {tr("Presentation"),
         [&settings] { return std::string(tr(toString(settings.presentation))); },
         {},
         [this, &game, &settings](int) {
             const Presentation was = settings.presentation;
             const std::pair<std::int32_t, std::int32_t> size{settings.width, settings.height};
             settings.presentation =
                 was == Presentation::windowed ? Presentation::fullscreen : Presentation::windowed;
             // A full screen takes one of the monitor's own sizes: the largest, the desktop's,
             // unless the size set is one of them.
             const auto sizes = game.windowSizes(settings.presentation);
             if (settings.presentation == Presentation::fullscreen) {
                 m_windowedSize = size;
                 if (!sizes.empty() && std::find(sizes.begin(), sizes.end(), size) == sizes.end()) {
                     std::tie(settings.width, settings.height) = sizes.back();
                 }
             } else if (m_windowedSize) {
                 // Back to the window it was, not one as large as the screen.
                 std::tie(settings.width, settings.height) = *m_windowedSize;
             }
             if (!game.applyWindow()) {
                 settings.presentation = was;
                 std::tie(settings.width, settings.height) = size;
                 say(tr("No monitor to go full screen on"));
                 return;
             }
             game.saveSettings();
         }});
}

void SettingsScreen::addPicture(Menu& menu) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    menu.entries.push_back(
        {tr("Brightness"),
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
    menu.entries.push_back({tr("Quality"),
                            [&game] { return std::string(tr(toString(game.quality()))); },
                            {},
                            [&game, &settings](int step) {
                                settings.quality = steppedQuality(game.quality(), step);
                                game.setQuality(settings.quality, settings.renderScale);
                                game.saveSettings();
                            }});
    menu.entries.push_back({tr("Render scale"),
                            [&game, &settings] {
                                return game.quality() == QualitySetting::automatic
                                           ? std::string(tr("chosen by auto"))
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

// The language of the screens: auto (the environment's) or one the game has, spoken at once;
// the menu is made again in it, the same entry chosen.
void SettingsScreen::addLanguage(Menu& menu) {
    ScreenHost& game = host();
    Settings& settings = game.settings();
    const auto change = [this, &game, &settings](int step) {
        std::vector<std::string_view> choices{"auto"};  // not translated: a setting's value
        for (const Language& language : kLanguages) {
            choices.push_back(language.code);
        }
        const auto at = std::find(choices.begin(), choices.end(), settings.language);
        const auto count = static_cast<long>(choices.size());
        const long index = at == choices.end() ? 0 : at - choices.begin();
        settings.language =
            std::string(choices[std::size_t(((index + step) % count + count) % count)]);
        game.applyLanguage();
        game.saveSettings();
        remakeMenu();
    };
    menu.entries.push_back({tr("Language"),
                            [&settings] {
                                const auto named = [](std::string_view code) {
                                    const Language* language = findLanguage(code);
                                    return std::string(language != nullptr ? language->name : code);
                                };
                                if (settings.language != "auto") {
                                    return named(settings.language);
                                }
                                return fill(tr("auto ({1})"), {named(languageInUse())});
                            },
                            [change] { change(1); }, change});
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
