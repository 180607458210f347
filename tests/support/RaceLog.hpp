// Listens to a race and keeps every event it tells, typed, in the order told: what the tests
// check the rules and the game against.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/race/RaceEvents.hpp"

namespace kes::test {

class RaceLog final : public RaceObserver {
public:
    void onZoneTouched(std::uint32_t zone) override { note("touched", zone); }
    void onClockStarted(float time) override {
        clockStarts.push_back(time);
        order.emplace_back("clock");
    }
    void onZoneAccepted(std::uint32_t zone, std::uint32_t /*checkCount*/) override {
        accepted.push_back(zone);
        note("accepted", zone);
    }
    void onRaceStarted() override { order.emplace_back("started"); }
    void onWrongZone(const WrongZone& wrong) override {
        wrongZones.push_back(wrong);
        note("wrong", wrong.zone);
    }
    void onRoundFinished(const RoundResult& result) override {
        rounds.push_back(result);
        order.emplace_back("finished");
    }
    void onNewBestTime(float time) override {
        bestTimes.push_back(time);
        order.emplace_back("best");
    }
    void onSplit(const Split& split) override {
        splits.push_back(split);
        note("split", split.zone);
    }
    void onAsteroidHit(std::uint32_t asteroid, std::int32_t respawnZone) override {
        hits.emplace_back(asteroid, respawnZone);
        note("hit", asteroid);
    }
    void onRestart() override { order.emplace_back("restart"); }

    // "accepted 3": the event's name and its zone (or asteroid).
    std::vector<std::string> order;
    std::vector<float> clockStarts;
    std::vector<std::uint32_t> accepted;
    std::vector<WrongZone> wrongZones;
    std::vector<RoundResult> rounds;
    std::vector<float> bestTimes;
    std::vector<Split> splits;
    std::vector<std::pair<std::uint32_t, std::int32_t>> hits;

private:
    void note(const char* name, std::uint32_t index) {
        order.push_back(std::string(name) + " " + std::to_string(index));
    }
};

}  // namespace kes::test
