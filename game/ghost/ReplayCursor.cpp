#include "game/ghost/ReplayCursor.hpp"

#include <algorithm>
#include <cmath>

#include "physics/Step.hpp"

namespace kes {
namespace {

// Whole: a second played at speed 1 is 60 steps exactly, not 1 / kFixedStep in single precision.
constexpr double kStepsASecond = 60.0;

}  // namespace

ReplayCursor::ReplayCursor(const Ghost& ghost) : m_ghost(ghost) {}

double ReplayCursor::lastStep() const {
    return double(m_ghost.roundEndStep - m_ghost.roundStartStep);
}

double ReplayCursor::ringStep(std::size_t position) const {
    if (position == 0 || m_ghost.splits.empty()) {
        return 0.0;
    }
    const float reached = m_ghost.splits[std::min(position, m_ghost.splits.size()) - 1];
    return std::min(double(std::lround(reached / kFixedStep)), lastStep());
}

void ReplayCursor::advance(float realSeconds) {
    if (!m_playing) {
        return;
    }
    m_step += double(realSeconds) * double(speed()) * kStepsASecond;
    if (m_step >= lastStep()) {
        m_step = lastStep();
        m_playing = false;
    }
}

void ReplayCursor::faster() {
    m_speedIndex = std::min(m_speedIndex + 1, std::size(kSpeeds) - 1);
}

void ReplayCursor::slower() {
    m_speedIndex = m_speedIndex == 0 ? 0 : m_speedIndex - 1;
}

// A step from a whole step: a moment between two (paused while playing) goes to the nearer
// whole step in that direction.
void ReplayCursor::stepForward() {
    if (!m_playing) {
        m_step = std::min(std::floor(m_step) + 1.0, lastStep());
    }
}

void ReplayCursor::stepBack() {
    if (!m_playing) {
        m_step = std::max(std::ceil(m_step) - 1.0, 0.0);
    }
}

void ReplayCursor::nextRing() {
    for (std::size_t position = 1; position <= m_ghost.splits.size(); ++position) {
        if (ringStep(position) > m_step) {
            m_step = ringStep(position);
            return;
        }
    }
    m_step = lastStep();
}

void ReplayCursor::previousRing() {
    for (std::size_t position = m_ghost.splits.size(); position > 0; --position) {
        if (ringStep(position) < m_step) {
            m_step = ringStep(position);
            return;
        }
    }
    m_step = 0.0;
}

void ReplayCursor::seek(float fraction) {
    m_step = std::round(double(std::clamp(fraction, 0.0f, 1.0f)) * lastStep());
}

void ReplayCursor::restart() {
    m_step = 0.0;
}

float ReplayCursor::seconds() const {
    return static_cast<float>(m_step * double(kFixedStep));
}

float ReplayCursor::fraction() const {
    return lastStep() > 0.0 ? static_cast<float>(m_step / lastStep()) : 0.0f;
}

ControlState ReplayCursor::controls() const {
    return m_ghost.controlsAt(m_ghost.roundStartStep + static_cast<std::uint32_t>(m_step));
}

std::size_t ReplayCursor::ringsPassed() const {
    std::size_t passed = 0;
    while (passed < m_ghost.splits.size() && ringStep(passed + 1) <= m_step) {
        ++passed;
    }
    return passed;
}

}  // namespace kes
