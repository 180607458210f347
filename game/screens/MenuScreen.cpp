#include "game/screens/MenuScreen.hpp"

#include <algorithm>

#include "game/screens/ScreenStack.hpp"

namespace kes {

// Made anew each time it comes to the top, with its first entry chosen (or the one its build
// chooses), as when it was first shown.
void MenuScreen::enter() {
    m_menu = Menu{};
    build(m_menu);
    m_menu.refresh();
    m_menu.scale = m_host.uiScale();
}

void MenuScreen::act(MenuAction action) {
    switch (action) {
        case MenuAction::up: m_menu.move(-1); break;
        case MenuAction::down: m_menu.move(1); break;
        case MenuAction::left: m_menu.adjust(-1); break;
        case MenuAction::right: m_menu.adjust(1); break;
        case MenuAction::choose:
            m_menu.activate();
            m_menu.refresh();  // the screen outlives its own action (see ScreenStack)
            break;
        case MenuAction::back: back(); break;
        case MenuAction::resume: break;
    }
    remakeIfAsked();
}

void MenuScreen::frame(double now) {
    m_now = now;
    remakeIfAsked();
    m_menu.scale = m_host.uiScale();  // the window or the setting may have changed
}

void MenuScreen::remakeIfAsked() {
    if (!m_remake) {
        return;
    }
    m_remake = false;
    const std::size_t chosen = m_menu.selected;
    enter();
    m_menu.selected = std::min(chosen, m_menu.entries.empty() ? 0 : m_menu.entries.size() - 1);
}

void MenuScreen::back() {
    m_host.screens().pop();
}

void MenuScreen::say(std::string note) {
    m_note = std::move(note);
    m_noteUntil = m_now + kNoteSeconds;
}

const std::string& MenuScreen::note() const {
    static const std::string kNone;
    if (!m_standingNote.empty()) {
        return m_standingNote;
    }
    return m_now < m_noteUntil ? m_note : kNone;
}

void MenuScreen::queue(TextRenderer& text, float /*time*/) {
    queueMenu(text, m_menu, note());
    const bool adjustable = std::any_of(m_menu.entries.begin(), m_menu.entries.end(),
                                        [](const MenuEntry& entry) { return bool(entry.adjust); });
    queueMenuFooter(m_prompts, text, m_host.lastDevice(), adjustable, m_menu.scale);
}

void MenuScreen::queueLines(ScreenLines& lines) {
    queueMenuPanel(lines, m_menu, !note().empty());
    m_prompts.queueLines(lines);
}

}  // namespace kes
