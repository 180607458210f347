// The front door's screens, one on top of another. A screen that goes is kept until the next
// pass (collect), so a screen may push, pop or replace itself from inside its own action.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "game/screens/Screen.hpp"

namespace kes {

class ScreenStack {
public:
    void push(std::unique_ptr<Screen> screen);
    void pop();
    // The top screen goes and `screen` takes its place.
    void replace(std::unique_ptr<Screen> screen);
    // Every screen goes and `screen` is the only one.
    void reset(std::unique_ptr<Screen> screen);
    // Frees the screens that went.
    void collect() { m_gone.clear(); }

    Screen* top() const { return m_screens.empty() ? nullptr : m_screens.back().get(); }
    std::size_t size() const { return m_screens.size(); }
    // The screen `below` places under the top one (0: the top), or none.
    Screen* at(std::size_t below) const;

private:
    void enterTop();

    std::vector<std::unique_ptr<Screen>> m_screens;
    std::vector<std::unique_ptr<Screen>> m_gone;
};

}  // namespace kes
