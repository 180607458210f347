// The race's own keys: what the player asks of the game goes to the game, everything else
// flies the ship, and while the race is paused only resuming and the debug views are heard.
#include "game/level/RaceKeys.hpp"

#include <string>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "control/ShipController.hpp"

namespace kes {
namespace {

using Ship = HidListener_SceneNodeController;

TEST(RaceKeys, GameCommandsGoToTheGameAndAPauseHoldsAllButResumeAndViews) {
    Ship ship;
    struct Game final : GameCommands {
        explicit Game(Ship& ship_) : flown(ship_) {}
        void restartRace() override { heard += "R"; }
        void togglePause() override {
            paused = !paused;
            flown.setPaused(paused);
            heard += "P";
        }
        bool racePaused() const override { return paused; }
        void toggleDebugShapes() override { heard += "1"; }
        void toggleShadowMapTiles() override { heard += "2"; }
        HidListener& ship() override { return flown; }
        Ship& flown;
        std::string heard;
        bool paused = false;
    } game(ship);
    RaceKeys keys(game);
    for (const int key : {GLFW_KEY_R, GLFW_KEY_F1, GLFW_KEY_F2, GLFW_KEY_P, GLFW_KEY_R,
                          GLFW_KEY_SPACE, GLFW_KEY_F1, GLFW_KEY_P}) {
        keys.onKey(key, 0, GLFW_PRESS, 0);
    }
    EXPECT_EQ(game.heard, "R12P1P");  // paused: no restart and no throttle, the views still
    EXPECT_FALSE(ship.isHeld(Ship::accelerate));
    keys.onKey(GLFW_KEY_SPACE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(ship.isHeld(Ship::accelerate));
    // The gamepad: Start pauses, Back restarts (not while paused), A flies.
    keys.onGamepadButtons(GamepadButton::kBack, true);
    keys.onGamepadButtons(GamepadButton::kStart, true);
    keys.onGamepadButtons(GamepadButton::kBack, true);
    keys.onGamepadButtons(GamepadButton::kStart, true);
    keys.onGamepadButtons(GamepadButton::kB, true);
    EXPECT_EQ(game.heard, "R12P1PRPP");
    EXPECT_TRUE(ship.isHeld(Ship::brake));
}

}  // namespace
}  // namespace kes
