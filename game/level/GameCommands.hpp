// What the player asks of the game rather than of the ship: restart the race, pause it, show
// the debug views. Whoever maps the input asks; the race layer answers.
#pragma once

#include "platform/HidListener.hpp"

namespace kes {

class GameCommands {
public:
    virtual void restartRace() = 0;
    virtual void togglePause() = 0;
    virtual bool racePaused() const = 0;
    virtual void toggleDebugShapes() = 0;     // F1: the collision shapes
    virtual void toggleShadowMapTiles() = 0;  // F2: the shadow maps
    // The ship's controls, which every other input flies.
    virtual HidListener& ship() = 0;

protected:
    ~GameCommands() = default;
};

}  // namespace kes
