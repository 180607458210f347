#include "game/ghost/ReplayJudge.hpp"

#include <cmath>

#include "physics/Step.hpp"
#include "game/race/FigureText.hpp"

namespace kes {
namespace {

constexpr std::uint32_t kGraceSteps = 60 * 10;  // past the recorded finish before giving up

bool sameTimes(const std::vector<float>& a, const std::vector<float>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::fabs(a[i] - b[i]) > 1e-4f) {
            return false;
        }
    }
    return true;
}

}  // namespace

ReplayJudge::ReplayJudge(const Ghost& ghost, const RaceSimulation& race)
    : m_ghost(ghost), m_race(race) {}

void ReplayJudge::onRoundFinished(const RoundResult& result) {
    if (m_verdict || ++m_rounds != m_ghost.round) {
        return;
    }
    const std::string recorded = threeDecimals(m_ghost.roundTime);
    const bool sameStep = m_race.flightStep() == m_ghost.roundEndStep;
    const bool sameTime = std::fabs(result.time - m_ghost.roundTime) <= 1e-4f;
    m_reproduced = sameStep && sameTime && sameTimes(result.splits, m_ghost.splits);
    if (m_reproduced) {
        m_verdict = "Replay reproduces round time " + recorded + " s";
    } else if (!sameTime) {
        m_verdict = "Replay differs: finished in " + threeDecimals(result.time) + " s, recorded " +
                    recorded + " s";
    } else {
        m_verdict = "Replay differs: finished in " + threeDecimals(result.time) +
                    " s as recorded, but with other splits";
    }
}

void ReplayJudge::afterStep() {
    // In 64 bits: the end step of a ghost read from a file is bounded, but never trusted to
    // leave room for the grace.
    const std::uint64_t giveUpAfter = std::uint64_t(m_ghost.roundEndStep) + kGraceSteps;
    if (!m_verdict && m_race.flightStep() > giveUpAfter) {
        m_verdict = "Replay differs: no round finished by " +
                    threeDecimals(float(m_race.flightStep()) * kFixedStep) + " s, recorded " +
                    threeDecimals(m_ghost.roundTime) + " s";
    }
}

}  // namespace kes
