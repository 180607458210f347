// Which race decision plays which cue: a chime for a zone checked (but not for the finish, which
// has its own sound), a buzz for a zone out of order (but not for the zone the ship was just put
// back into by an asteroid: touching it again is no mistake of the player's), a thump for an
// asteroid, a sting for a finished round and a fanfare instead for the best round of the run.
#pragma once

#include "control/ShipController.hpp"
#include "game/level/Captions.hpp"
#include "game/race/RaceEvents.hpp"
#include "platform/SoundService.hpp"

namespace kes {

class RaceAudio final : public RaceObserver {
public:
    explicit RaceAudio(SoundService& sounds) : m_sounds(sounds) {}

    void onSplit(const Split& split) override;
    void onWrongZone(const WrongZone& wrong) override;
    void onRoundFinished(const RoundResult& result) override;
    void onAsteroidHit(std::uint32_t asteroid, std::int32_t respawnZone) override;
    // The engine's hum after each fixed step: its pitch and volume follow the throttle and
    // the speed bonus.
    void steerEngine(const HidListener_SceneNodeController& ship);
    // Each cue played is told to the captions too.
    Captions& captions() { return m_captions; }

private:
    void play(SoundEffect cue);

    SoundService& m_sounds;
    Captions m_captions;
};

}  // namespace kes
