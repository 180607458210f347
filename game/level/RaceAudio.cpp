#include "game/level/RaceAudio.hpp"

namespace kes {

void RaceAudio::onSplit(const Split& split) {
    if (split.zone != 0) {
        play(SoundEffect::zoneChecked);
    }
}

// A ship sent back by an asteroid lands in the zone it checked last.
void RaceAudio::onWrongZone(const WrongZone& wrong) {
    if (wrong.zone != wrong.lastChecked) {
        play(SoundEffect::wrongZone);
    }
}

void RaceAudio::onRoundFinished(const RoundResult& result) {
    play(result.newBest ? SoundEffect::newBest : SoundEffect::roundFinished);
}

void RaceAudio::play(SoundEffect cue) {
    m_sounds.play(cue);
    m_captions.heard(cue);
}

void RaceAudio::steerEngine(const HidListener_SceneNodeController& ship) {
    using Ship = HidListener_SceneNodeController;
    m_sounds.setEngine(ship.levels[Ship::accelerate] - ship.levels[Ship::brake], ship.speedFactor);
}

void RaceAudio::onAsteroidHit(std::uint32_t /*asteroid*/, std::int32_t /*respawnZone*/) {
    play(SoundEffect::asteroidHit);
}

}  // namespace kes
