// The race itself: GO for a second after the start, then the race display alone, and each
// round's results for a few seconds. A window that loses the focus pauses the race and opens
// the pause menu.
#pragma once

#include <cstdint>

#include "game/screens/Screen.hpp"

namespace kes {

class RoundResults;

class RacingScreen final : public Screen {
public:
    static constexpr std::uint32_t kGoSteps = 60;

    explicit RacingScreen(ScreenHost& host) : m_host(host) {}
    const char* name() const override { return "racing"; }

    void fixedStep() override { ++m_steps; }
    void frame(double now) override;
    void queue(TextRenderer& text, float time) override;
    bool dimsLevel() const override { return false; }
    bool flies() const override { return true; }
    bool pausable() const override { return true; }

    bool showsGo() const { return m_steps < kGoSteps; }

private:
    ScreenHost& m_host;
    std::uint32_t m_steps = 0;
};

}  // namespace kes
