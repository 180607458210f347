// A screen that is a menu: the actions move the choice, change a value and take an entry; Back
// is the screen's own. A note can stand under the menu for a few seconds (a key moved, a
// change taken at the next start).
#pragma once

#include <string>

#include "game/screens/Menu.hpp"
#include "game/screens/Screen.hpp"

namespace kes {

class MenuScreen : public Screen {
public:
    static constexpr double kNoteSeconds = 4.0;

    explicit MenuScreen(ScreenHost& host) : m_host(host) {}

    void enter() override;
    void act(MenuAction action) override;
    void frame(double now) override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override;
    Menu* menu() override { return &m_menu; }

    const Menu& shownMenu() const { return m_menu; }
    // The note under the menu now, if any.
    const std::string& note() const;

protected:
    // Makes the menu's entries; called when the screen is entered.
    virtual void build(Menu& menu) = 0;
    // Back, Escape, B: by default the screen goes.
    virtual void back();
    void say(std::string note);
    // Makes the menu again after the action in hand (its words changed), the same entry chosen;
    // never at once, since the action runs inside the menu.
    void remakeMenu() { m_remake = true; }
    ScreenHost& host() { return m_host; }

    // A line that stays under the menu while it is set (a key being waited for).
    std::string m_standingNote;

private:
    ScreenHost& m_host;
    Menu m_menu;
    PromptBar m_prompts;
    std::string m_note;
    double m_noteUntil = -1.0;
    double m_now = 0.0;
    bool m_remake = false;

    void remakeIfAsked();
};

}  // namespace kes
