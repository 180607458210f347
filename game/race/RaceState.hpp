// The rules of the race: target zones are passed in the order of their indices, a round starts
// and ends at zone 0, each finished round is timed and the best time is kept. Every decision is
// told to the race's observers as a typed event (see RaceEvents.hpp); the console's lines are
// one observer among them. Times are the simulation's own (see the fixed-step loop), so a slow
// machine does not lengthen a round.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "game/race/RaceEvents.hpp"

namespace kes {

struct RaceState {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;  // no zone checked yet

    // Accepts zone `index` as the next one.
    void checkTargetZone(std::uint32_t index);
    // Every touch of a target zone goes through here.
    void onTargetZoneReached(std::uint32_t index);
    // An asteroid touched the ship, which goes back to the last zone checked.
    void onAsteroidTouched(std::uint32_t asteroid);
    // Back to before the first zone: the progress and the running round are cleared; the best
    // time, the rounds finished and the reference round stay.
    void restart();
    // The best round known before this run (a kept record), for the splits to compare with.
    void setReference(float roundTime, std::vector<float> splits);
    // Splits to compare with instead of the reference's (a target's); empty: the reference's.
    void setSplitTarget(std::vector<float> splits) { splitTarget = std::move(splits); }
    // Seconds of the running round; 0 before the clock has started.
    float roundTime() const;

    // Observers are not owned; each must stay until it is removed or the race is gone.
    void addObserver(RaceObserver* observer) { observers.push_back(observer); }
    void removeObserver(RaceObserver* observer) { std::erase(observers, observer); }

    std::int32_t targetZoneCount = 10;
    std::uint32_t lastChecked = kNone;
    std::uint32_t checkCount = 0;
    std::uint32_t roundsFinished = 0;
    float roundStartTime = -1.0f;  // -1: the race has not started
    float bestTime = -1.0f;        // -1: no round finished yet
    // Simulation time: the time at which the contacts of the coming physics update happen.
    float currentTime = 0.0f;
    std::vector<float> roundSplits{};      // the running round's, by position - 1
    float referenceTime = -1.0f;           // the best round known, -1 for none
    std::vector<float> referenceSplits{};  // its splits, by position - 1
    std::vector<float> splitTarget{};      // compared with instead when not empty
    std::vector<RaceObserver*> observers{};

private:
    template <typename Event>
    void tell(Event&& event) {
        for (RaceObserver* observer : observers) {
            event(*observer);
        }
    }
    void refuse(std::uint32_t index, WrongZoneReason reason);
    void finishRound();
    Split splitAt(std::uint32_t zone, std::uint32_t position) const;
};

// The zone after the last one checked (the first one before any).
std::size_t nextZoneAfter(std::uint32_t lastChecked, std::size_t zoneCount);

}  // namespace kes
