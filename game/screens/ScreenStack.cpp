#include "game/screens/ScreenStack.hpp"

namespace kes {

void ScreenStack::push(std::unique_ptr<Screen> screen) {
    m_screens.push_back(std::move(screen));
    enterTop();
}

void ScreenStack::pop() {
    if (m_screens.empty()) {
        return;
    }
    m_gone.push_back(std::move(m_screens.back()));
    m_screens.pop_back();
    enterTop();
}

void ScreenStack::replace(std::unique_ptr<Screen> screen) {
    if (!m_screens.empty()) {
        m_gone.push_back(std::move(m_screens.back()));
        m_screens.pop_back();
    }
    push(std::move(screen));
}

void ScreenStack::reset(std::unique_ptr<Screen> screen) {
    for (auto& gone : m_screens) {
        m_gone.push_back(std::move(gone));
    }
    m_screens.clear();
    push(std::move(screen));
}

Screen* ScreenStack::at(std::size_t below) const {
    return below < m_screens.size() ? m_screens[m_screens.size() - 1 - below].get() : nullptr;
}

void ScreenStack::enterTop() {
    if (Screen* screen = top()) {
        screen->enter();
    }
}

}  // namespace kes
