// The automatic quality: chooses the level and render scale from the measured time of the main
// loop's passes, aiming at 60 passes a second, the rate at which the race runs in real time.
// Its choices lie on one ladder, from high at scale 1 down through smaller pictures to medium,
// low at the smallest picture (240 lines high, or the window's height when that is smaller),
// then basic from twice that scale (at most 1) down to the smallest picture again, in steps of
// 5 % of the scale. It steps down quickly when frames are slow (several rungs at once when they
// are much too slow) and up slowly when there is headroom (a rung at a time, two or three with
// plenty), never more than once a second; a rung it had to leave for being too slow is not
// tried again for a while, longer each time, so it does not swing between two. Pure
// arithmetic: the game feeds it pass times and applies its choices.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "render/Quality.hpp"

namespace kes {

struct QualityChoice {
    QualityLevel level = QualityLevel::low;
    float scale = 1.0f;
    bool operator==(const QualityChoice&) const = default;
};

class QualityGovernor {
public:
    static constexpr double kTargetPassSeconds = 1.0 / 60.0;
    // The loop takes one step a pass, so every pass over the target slows the race: a choice is
    // judged by the pass that nine in ten beat, not by the median.
    static constexpr double kJudgedShare = 0.9;
    static constexpr double kSlow = 1.05;        // that pass this much over the target is slow
    static constexpr double kHeadroom = 0.8;     // this much under it leaves room to rise
    static constexpr double kDecideEvery = 1.0;  // seconds of real time between changes
    static constexpr double kRaiseAfter = 2.0;   // seconds a choice holds before a rise
    static constexpr double kSettled = 5.0;      // seconds a choice holds to count as settled

    // For a picture `pictureHeight` lines high; starts at the cheapest choice.
    explicit QualityGovernor(std::uint32_t pictureHeight);

    // One pass of `passSeconds` of real time, ending at `now` (seconds, any origin). Returns
    // the new choice when it changes.
    std::optional<QualityChoice> record(double passSeconds, double now);

    QualityChoice choice() const { return m_ladder[m_rung]; }
    // Once per choice that has held for kSettled seconds, the passes a second it holds at.
    std::optional<double> settledRate(double now);

    const std::vector<QualityChoice>& ladder() const { return m_ladder; }

private:
    void moveTo(std::size_t rung, double now);
    // The pass time that `share` of the samples do not exceed (0.5: the median).
    double percentileSeconds(double share);

    std::vector<QualityChoice> m_ladder;  // best first
    std::size_t m_rung;
    std::vector<double> m_samples;  // pass times since the last change
    std::vector<double> m_scratch;  // for the percentiles, so a pass allocates nothing
    double m_changedAt = -1.0;
    std::size_t m_skipPasses = 0;      // the passes right after a change pay for the change
    std::vector<double> m_retryAfter;  // by rung: when a rung left for slowness may be tried
    std::vector<int> m_failures;       // by rung: how often it was left for slowness
    bool m_settledReported = false;
};

// "Quality: medium at 70 % (640 x 480 drawn as 448 x 336), 58 frames a second"
std::string qualityLine(const QualityChoice& choice, std::uint32_t width, std::uint32_t height,
                        double passesPerSecond);

}  // namespace kes
