#include "game/ghost/Reflight.hpp"

#include "game/ghost/ReplayJudge.hpp"
#include "game/race/HeadlessRace.hpp"

namespace kes {
namespace {

// Hears the round the judge judges, for the time it took.
class RoundTimes final : public RaceObserver {
public:
    explicit RoundTimes(std::uint32_t round) : m_round(round) {}
    void onRoundFinished(const RoundResult& result) override {
        if (++m_seen == m_round) {
            time = result.time;
        }
    }
    float time = -1.0f;

private:
    std::uint32_t m_round;
    std::uint32_t m_seen = 0;
};

}  // namespace

Reflight flyAgain(const Ghost& ghost, const Course& course) {
    if (!ghost.flyable()) {
        return {false, "its flight began after a restart and it holds no start", -1.0f};
    }
    HeadlessRace race(course);
    if (ghost.start && !race.simulation.startFlightFrom(*ghost.start)) {
        return {false, "its start has another number of asteroids than the course", -1.0f};
    }
    race.simulation.replay = &ghost;
    ReplayJudge judge(ghost, race.simulation);
    RoundTimes times(ghost.round);
    race.simulation.race.addObserver(&judge);
    race.simulation.race.addObserver(&times);
    while (!judge.decided()) {
        race.step();
        judge.afterStep();
    }
    return {judge.reproduced(), judge.verdict(), times.time};
}

}  // namespace kes
