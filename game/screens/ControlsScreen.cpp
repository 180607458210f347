#include "game/screens/ControlsScreen.hpp"

#include <GLFW/glfw3.h>
#include "platform/Language.hpp"

namespace kes {

std::string bindingText(const Binding& binding) {
    const std::string key = binding.key == kNoKey ? tr("no key") : keyName(binding.key);
    const std::string button = binding.button == 0 ? tr("no button") : buttonName(binding.button);
    return key + " / " + button;
}

void ControlsScreen::build(Menu& menu) {
    menu.title = tr("CONTROLS");
    Settings& settings = host().settings();
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        menu.entries.push_back(
            {tr(actionName(action)),
             [&settings, action] { return bindingText(settings.controls.of(action)); },
             [this, action] { wait(action); },
             {}});
    }
    menu.entries.push_back({tr("Defaults"),
                            {},
                            [this, &settings] {
                                settings.controls = Bindings::defaults();
                                host().saveSettings();
                            },
                            {}});
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

void ControlsScreen::wait(Action action) {
    m_binding = action;
    m_bindingSince = m_now;
    m_standingNote =
        fill(tr("Press a key or a button for {1} (Escape: keep it)"), {tr(actionName(action))});
}

void ControlsScreen::stopWaiting() {
    m_binding.reset();
    m_standingNote.clear();
    menu()->refresh();
}

void ControlsScreen::frame(double now) {
    MenuScreen::frame(now);
    m_now = now;
    if (m_binding && now - m_bindingSince > kBindingTimeout) {
        const Action action = *m_binding;
        stopWaiting();
        say(fill(tr("No key was pressed: {1} keeps {2}"),
                 {tr(actionName(action)), bindingText(host().settings().controls.of(action))}));
    }
}

// The key pressed for the action being bound; one another action had loses it, and the player
// is told. Escape keeps the old key; a key of the debug views is refused.
bool ControlsScreen::takeKey(int key) {
    if (!m_binding) {
        return false;
    }
    const Action action = *m_binding;
    Bindings& controls = host().settings().controls;
    stopWaiting();
    if (key == GLFW_KEY_ESCAPE || keyName(key).empty()) {
        return true;
    }
    if (const char* use = reservedKeyUse(key)) {
        // TRANSLATORS: {1} a key, {2} what it does ("shows the shadow maps in a race"), {3} an
        // action, {4} its key and button.
        say(fill(
            tr("{1} {2} and cannot be bound: {3} keeps {4}"),
            {keyName(key), tr(use), tr(actionName(action)), bindingText(controls.of(action))}));
        return true;
    }
    noteTaken(keyName(key), controls.bindKey(action, key), false);
    return true;
}

bool ControlsScreen::takeButton(std::uint16_t button) {
    if (!m_binding || buttonName(button).empty()) {
        return m_binding.has_value();
    }
    const Action action = *m_binding;
    stopWaiting();
    noteTaken(buttonName(button), host().settings().controls.bindButton(action, button), true);
    return true;
}

// A binding made: saved, and the player told when the key or button was another action's,
// which now has none.
void ControlsScreen::noteTaken(const std::string& input, std::optional<Action> taken, bool button) {
    if (taken) {
        const char* pattern = button ? tr("{1} was {2}'s: {2} has no button now")
                                     : tr("{1} was {2}'s: {2} has no key now");
        say(fill(pattern, {input, tr(actionName(*taken))}));
    }
    host().saveSettings();
    menu()->refresh();
}

}  // namespace kes
