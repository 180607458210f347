// The settings: window size (a full screen offers the monitor's modes), presentation (window
// or full screen), brightness, quality, render scale, the three volumes and the controls; each
// change heard or seen at once and saved at once.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>

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
    void addLanguage(Menu& menu);

    // The window's size before it went full screen here, to go back to.
    std::optional<std::pair<std::int32_t, std::int32_t>> m_windowedSize;
};

}  // namespace kes
