#include "game/level/RaceAudio.hpp"

namespace kes {

void RaceAudio::onSplit(const Split& split) {
    if (split.zone != 0) {
        m_sounds.play(SoundEffect::zoneChecked);
    }
}

// A ship sent back by an asteroid lands in the zone it checked last.
void RaceAudio::onWrongZone(const WrongZone& wrong) {
    if (wrong.zone != wrong.lastChecked) {
        m_sounds.play(SoundEffect::wrongZone);
    }
}

void RaceAudio::onRoundFinished(const RoundResult& result) {
    m_sounds.play(result.newBest ? SoundEffect::newBest : SoundEffect::roundFinished);
}

void RaceAudio::steerEngine(const HidListener_SceneNodeController& ship) {
    using Ship = HidListener_SceneNodeController;
    m_sounds.setEngine(ship.levels[Ship::accelerate] - ship.levels[Ship::brake], ship.speedFactor);
}

void RaceAudio::onAsteroidHit(std::uint32_t /*asteroid*/, std::int32_t /*respawnZone*/) {
    m_sounds.play(SoundEffect::asteroidHit);
}

}  // namespace kes
