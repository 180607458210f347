// The controls: Enter on an action, then its new key or gamepad button within 3 seconds
// (Escape keeps the old one). A key or button another action had is taken from it, and the
// screen says so; the debug views' keys are refused; Defaults puts every binding back.
#pragma once

#include <optional>
#include <string>

#include "game/screens/MenuScreen.hpp"
#include "platform/InputBindings.hpp"

namespace kes {

class ControlsScreen final : public MenuScreen {
public:
    static constexpr double kBindingTimeout = 3.0;  // "press a key" gives up after this

    explicit ControlsScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "controls"; }

    // While an action waits for its key or button, every key and button is taken for it.
    bool takeKey(int key) override;
    bool takeButton(std::uint16_t button) override;
    void frame(double now) override;
    // While waiting for a key the pointer chooses nothing.
    Menu* menu() override { return waiting() ? nullptr : MenuScreen::menu(); }

    bool waiting() const { return m_binding.has_value(); }

protected:
    void build(Menu& menu) override;

private:
    void wait(Action action);
    void stopWaiting();
    void noteTaken(const std::string& input, std::optional<Action> taken, bool button);

    std::optional<Action> m_binding;
    double m_bindingSince = 0.0;
    double m_now = 0.0;
};

// "Space / A", "no key / no button".
std::string bindingText(const Binding& binding);

}  // namespace kes
