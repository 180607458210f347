#include "game/ghost/FlightRecorder.hpp"

namespace kes {
namespace {

constexpr std::size_t kReservedSteps = 60 * 600;    // ten minutes of flight
constexpr std::size_t kReservedChanges = 60 * 120;  // a change every 5th step for 10 minutes

}  // namespace

FlightRecorder::FlightRecorder(const Course& course)
    : m_courseName(course.name), m_courseHash(courseHash(course)) {
    m_controls.reserve(kReservedChanges);
    m_samples.reserve(kReservedSteps / Ghost::kSampleEvery + 1);
}

// The events of a step come from its physics, before the step is recorded: a round that ends
// takes the ship's place of this step as its last sample, and the round that starts with it
// takes it as its first.
void FlightRecorder::recordStep(const ControlState& controls, const Transform& place) {
    const GhostSample ship{place.position, place.orientation};
    if (m_finished) {
        finishRound(ship);
    }
    if (m_clockStarted) {
        m_clockStarted = false;
        m_roundRunning = true;
        m_roundStart = m_step;
        m_samples.clear();
    }
    if (m_controls.empty() || !(m_controls.back().state == controls)) {
        m_controls.push_back({m_step, controls});
    }
    if (m_roundRunning && (m_step - m_roundStart) % Ghost::kSampleEvery == 0) {
        m_samples.push_back(ship);
    }
    ++m_step;
}

void FlightRecorder::flightStarted(const FlightStart& start) {
    m_start = start;
}

void FlightRecorder::onClockStarted(float /*time*/) {
    m_clockStarted = true;
}

void FlightRecorder::onRoundFinished(const RoundResult& result) {
    m_finished = result;
}

// A restart begins a new flight from the start, after whatever came before: its rounds can be
// drawn but not flown again from a fresh start.
void FlightRecorder::onRestart() {
    m_step = 0;
    m_fromStart = false;
    m_controls.clear();
    m_samples.clear();
    m_roundRunning = false;
    m_clockStarted = false;
    m_finished.reset();
    m_rounds = 0;
}

// The next round starts on the step this one ends (the race accepts zone 0 as its start at
// once), so it is recorded from there: every round has its ghost, not only the first.
void FlightRecorder::finishRound(const GhostSample& ship) {
    const RoundResult result = *m_finished;
    m_finished.reset();
    ++m_rounds;
    m_clockStarted = true;
    if (!m_roundRunning) {
        return;
    }
    // The last sample is the finish itself, wherever it falls between two samples.
    m_samples.push_back(ship);
    Ghost ghost;
    ghost.gameVersion = gameVersion();
    ghost.playerName = playerName;
    ghost.courseName = m_courseName;
    ghost.courseHash = m_courseHash;
    ghost.roundTime = result.time;
    ghost.splits = result.splits;
    ghost.round = m_rounds;
    ghost.fromStart = m_fromStart;
    ghost.roundStartStep = m_roundStart;
    ghost.roundEndStep = m_step;
    ghost.start = m_start;
    ghost.controls = m_controls;
    ghost.samples = m_samples;
    m_lastRound = std::move(ghost);
    m_roundRunning = false;
    if (onRound) {
        onRound(*m_lastRound, result);
    }
}

}  // namespace kes
