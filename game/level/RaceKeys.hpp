// The race's own keys where no front door maps the input (the demo, the tests, a race layer on
// its own): R and Back restart, P and Start pause, F1 and F2 show the debug views, and every
// other input flies the ship. While the race is paused a restart is not heard.
#pragma once

#include <cstdint>

#include "game/level/GameCommands.hpp"
#include "platform/HidListener.hpp"

namespace kes {

class RaceKeys final : public HidListener {
public:
    // `game` must outlive the keys.
    explicit RaceKeys(GameCommands& game) : m_game(game) {}

    void onKey(int key, int scancode, std::uint8_t action, std::uint8_t mods) override;
    // Only a packet that changes Start or Back alone counts as them.
    void onGamepadButtons(std::uint16_t changed, bool pressed) override;
    void onLeftStick(float x, float y, float magnitude) override;
    void onLeftTrigger(float value) override;
    void onRightTrigger(float value) override;

private:
    GameCommands& m_game;
};

}  // namespace kes
