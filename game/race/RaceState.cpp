#include "game/race/RaceState.hpp"

#include <utility>

namespace kes {

std::size_t nextZoneAfter(std::uint32_t lastChecked, std::size_t zoneCount) {
    return lastChecked < zoneCount ? (lastChecked + 1) % zoneCount : 0;
}

void RaceState::checkTargetZone(std::uint32_t index) {
    ++checkCount;
    lastChecked = index;
    tell([&](RaceObserver& o) { o.onZoneAccepted(index, checkCount); });
}

void RaceState::refuse(std::uint32_t index, WrongZoneReason reason) {
    const WrongZone wrong{index, lastChecked, targetZoneCount, reason};
    tell([&](RaceObserver& o) { o.onWrongZone(wrong); });
}

void RaceState::onTargetZoneReached(std::uint32_t index) {
    tell([&](RaceObserver& o) { o.onZoneTouched(index); });
    // The clock starts at the first touch of any zone, whichever its index.
    if (roundStartTime == -1.0f) {
        roundStartTime = currentTime;
        roundSplits.clear();
        tell([&](RaceObserver& o) { o.onClockStarted(currentTime); });
    }
    if (lastChecked == kNone) {
        if (index == 0) {
            checkTargetZone(0);
            tell([](RaceObserver& o) { o.onRaceStarted(); });
        } else {
            refuse(index, WrongZoneReason::notZeroFirst);
        }
    } else if (index != 0) {
        if (index == lastChecked + 1) {
            checkTargetZone(index);
            const Split split = splitAt(index, index);
            roundSplits.push_back(split.time);
            tell([&](RaceObserver& o) { o.onSplit(split); });
        } else {
            refuse(index, WrongZoneReason::notNext);
        }
    } else if (lastChecked == static_cast<std::uint32_t>(targetZoneCount - 1)) {
        finishRound();
    } else {
        refuse(index, WrongZoneReason::finishEarly);
    }
}

Split RaceState::splitAt(std::uint32_t zone, std::uint32_t position) const {
    Split split{zone, position, currentTime - roundStartTime, std::nullopt};
    const std::vector<float>& against = splitTarget.empty() ? referenceSplits : splitTarget;
    if (position >= 1 && position <= against.size()) {
        split.delta = split.time - against[position - 1];
    }
    return split;
}

// The finish's split is measured against the reference before a new record replaces it.
void RaceState::finishRound() {
    checkTargetZone(0);
    ++roundsFinished;
    const float time = currentTime - roundStartTime;
    const Split finish = splitAt(0, static_cast<std::uint32_t>(targetZoneCount));
    roundSplits.push_back(finish.time);
    RoundResult result{roundsFinished, time, bestTime == -1.0f || bestTime > time,
                       referenceTime < 0.0f || time < referenceTime, roundSplits};
    if (result.newBest) {
        bestTime = time;
    }
    if (result.newRecord) {
        referenceTime = time;
        referenceSplits = roundSplits;
    }
    tell([&](RaceObserver& o) { o.onRoundFinished(result); });
    if (result.newBest) {
        tell([&](RaceObserver& o) { o.onNewBestTime(time); });
    }
    tell([&](RaceObserver& o) { o.onSplit(finish); });
    // The next round starts at once, with zone 0 already accepted.
    roundStartTime = currentTime;
    roundSplits.clear();
}

void RaceState::onAsteroidTouched(std::uint32_t asteroid) {
    const auto zone = static_cast<std::int32_t>(lastChecked);
    tell([&](RaceObserver& o) { o.onAsteroidHit(asteroid, zone); });
}

void RaceState::restart() {
    lastChecked = kNone;
    checkCount = 0;
    roundStartTime = -1.0f;
    roundSplits.clear();
    tell([](RaceObserver& o) { o.onRestart(); });
}

void RaceState::setReference(float roundTime, std::vector<float> splits) {
    referenceTime = roundTime;
    referenceSplits = std::move(splits);
}

float RaceState::roundTime() const {
    return roundStartTime < 0.0f ? 0.0f : currentTime - roundStartTime;
}

}  // namespace kes
