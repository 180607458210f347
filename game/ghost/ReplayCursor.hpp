// Where a watched replay stands: a moment of a ghost's round, moved by playing (at a speed from
// 1/4 to 4), stepping one fixed step while paused, seeking to a ring or along the timeline, and
// restarting. A moment is a number of the round's fixed steps, with a fraction while playing
// between two, so every way to a moment (played to, stepped to, sought) gives the same place:
// the ghost's place is a function of the moment alone. The replay theatre moves one and draws
// what it says.
#pragma once

#include <cstdint>
#include <vector>

#include "game/ghost/Ghost.hpp"

namespace kes {

class ReplayCursor {
public:
    static constexpr float kSlowest = 0.25f;
    static constexpr float kFastest = 4.0f;

    // `ghost` must outlive the cursor. It starts paused at the round's start, at speed 1.
    explicit ReplayCursor(const Ghost& ghost);

    // Real seconds of watching: the moment moves by them times the speed while playing, and
    // stops (paused) at the round's end.
    void advance(float realSeconds);
    void play() { m_playing = m_step < lastStep(); }
    void pause() { m_playing = false; }
    void togglePlay() { m_playing ? pause() : play(); }
    // Speeds 1/4, 1/2, 1, 2, 4: one up or down.
    void faster();
    void slower();
    // While paused, one fixed step forward or back (within the round).
    void stepForward();
    void stepBack();
    // The next ring after the moment, or the one before it (the start and the finish count).
    void nextRing();
    void previousRing();
    // A place on the timeline, 0 at the start to 1 at the finish, onto a whole step.
    void seek(float fraction);
    void restart();

    // The moment in seconds into the round, and as a fraction of it.
    float seconds() const;
    float fraction() const;
    bool playing() const { return m_playing; }
    float speed() const { return kSpeeds[m_speedIndex]; }
    // Where the ghost is at the moment.
    GhostSample place() const { return m_ghost.at(seconds()); }
    // The controls it was flown with at the moment (the step it is in).
    ControlState controls() const;
    // Rings passed by the moment (0 before the first, the ring count at the finish).
    std::size_t ringsPassed() const;

private:
    static constexpr float kSpeeds[] = {0.25f, 0.5f, 1.0f, 2.0f, 4.0f};
    double lastStep() const;
    // The step at which ring `index` (1-based split position) was reached; 0 for the start.
    double ringStep(std::size_t position) const;

    const Ghost& m_ghost;
    double m_step = 0.0;  // steps into the round
    std::size_t m_speedIndex = 2;
    bool m_playing = false;
};

}  // namespace kes
