// What the race tells whoever listens: every decision of the rules as a typed event. The console
// lines, the sound cues, the race display, the records, the demo's profile and the tests all
// learn about the race from these, and none of them from another's output.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace kes {

// A zone checked within a round: its split time, and how it compares with the best round.
struct Split {
    std::uint32_t zone = 0;      // the zone's index; 0 for the finish
    std::uint32_t position = 0;  // zones into the round: 1 ... target zone count (the finish)
    float time = 0.0f;           // seconds since the round started
    std::optional<float> delta;  // against the best round at the same position; none before one
};

// Why a touched zone was not accepted.
enum class WrongZoneReason : std::uint8_t {
    notZeroFirst,  // the race starts at zone 0
    notNext,       // not the zone after the last one checked
    finishEarly,   // zone 0 again before every zone of the round was checked
};

struct WrongZone {
    std::uint32_t zone = 0;
    std::uint32_t lastChecked = 0;  // RaceState::kNone before the first zone
    std::int32_t zoneCount = 0;
    WrongZoneReason reason = WrongZoneReason::notNext;
};

struct RoundResult {
    std::uint32_t round = 0;    // 1 for the first round finished
    float time = 0.0f;          // seconds
    bool newBest = false;       // the best of this run
    bool newRecord = false;     // better than the kept record too (or there was none)
    std::vector<float> splits;  // the round's split at each zone, the finish last
};

// Every member has an empty default: an observer listens only to what it needs. Events come in
// the order the rules decide: a touch, then the clock's start, then the zone's acceptance or
// refusal, then for the finish the round's result, a new best time and the finish's split.
class RaceObserver {
public:
    virtual void onZoneTouched(std::uint32_t /*zone*/) {}
    virtual void onClockStarted(float /*time*/) {}
    // `checkCount` counts every zone accepted since the race began, 1 for the first.
    virtual void onZoneAccepted(std::uint32_t /*zone*/, std::uint32_t /*checkCount*/) {}
    // Zone 0 accepted as the very first zone: the race is on.
    virtual void onRaceStarted() {}
    virtual void onWrongZone(const WrongZone& /*wrong*/) {}
    virtual void onRoundFinished(const RoundResult& /*result*/) {}
    virtual void onNewBestTime(float /*time*/) {}
    virtual void onSplit(const Split& /*split*/) {}
    // The ship goes back to `respawnZone`'s place (-1: the origin, before any zone).
    virtual void onAsteroidHit(std::uint32_t /*asteroid*/, std::int32_t /*respawnZone*/) {}
    virtual void onRestart() {}

protected:
    ~RaceObserver() = default;
};

}  // namespace kes
