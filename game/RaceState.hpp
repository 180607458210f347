// The rules of the race: target zones are passed in the order of their indices, a round starts
// and ends at zone 0, each finished round is timed and the best time is kept. Every decision
// can be written to the console, the player's only word on the order rule.
#pragma once

#include <cstdint>

namespace kes {

struct RaceState {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;  // no zone checked yet

    // Accepts zone `index` as the next one.
    void checkTargetZone(std::uint32_t index);
    // Every touch of a target zone goes through here.
    void onTargetZoneReached(std::uint32_t index);

    bool verbose = true;
    std::int32_t targetZoneCount = 10;
    std::uint32_t lastChecked = kNone;
    std::uint32_t checkCount = 0;
    std::uint32_t roundsFinished = 0;
    float roundStartTime = -1.0f;  // -1: the race has not started
    float bestTime = -1.0f;        // -1: no round finished yet
    float currentTime = -1.0f;     // game time, written by the game layer every fixed step

private:
    void finishRound();
};

}  // namespace kes
