// The rules of the race: target zones are passed in the order of their indices, a round starts
// and ends at zone 0, each finished round is timed and the best time is kept. Every decision
// can be written to the console, the player's only word on the order rule. Times are the
// simulation's own (see the fixed-step loop), so a slow machine does not lengthen a round.
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

// Told of the race's decisions as they are made, next to the console lines.
class RaceObserver {
public:
    virtual void onZoneChecked(const Split& /*split*/) {}
    virtual void onWrongZone(std::uint32_t /*index*/) {}
    // `newBest`: the best of this run; `newRecord`: better than the reference round too.
    virtual void onRoundFinished(float /*roundTime*/, bool /*newBest*/, bool /*newRecord*/) {}

protected:
    ~RaceObserver() = default;
};

struct RaceState {
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;  // no zone checked yet

    // Accepts zone `index` as the next one.
    void checkTargetZone(std::uint32_t index);
    // Every touch of a target zone goes through here.
    void onTargetZoneReached(std::uint32_t index);
    // Back to before the first zone: the progress and the running round are cleared; the best
    // time, the rounds finished and the reference round stay.
    void restart();
    // The best round known before this run (a kept record), for the splits to compare with.
    void setReference(float roundTime, std::vector<float> splits);
    // Seconds of the running round; 0 before the clock has started.
    float roundTime() const;

    bool verbose = true;
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
    RaceObserver* observer = nullptr;      // not owned; may be null

private:
    void finishRound();
    Split splitAt(std::uint32_t zone, std::uint32_t position) const;
    void reportSplit(const Split& split);
};

}  // namespace kes
