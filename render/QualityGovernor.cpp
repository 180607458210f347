#include "render/QualityGovernor.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

namespace kes {
namespace {

constexpr std::uint32_t kSmallestPictureLines = 240;
constexpr float kScaleStep = 0.05f;
constexpr std::size_t kPassesAfterChange = 2;  // the change's own pass and the next
constexpr std::size_t kMostSamples = 128;      // judged over the latest this many
constexpr std::size_t kFewestSamples = 3;
constexpr double kRetryAfter = 10.0;  // seconds before a rung left for slowness is tried again
constexpr int kMostRetries = 3;       // after this many failures a rung is not tried again

struct LevelRange {
    QualityLevel level;
    float highest;
    float lowest;
};

// The scales each level spans, best first; a level's range ends where the next one's begins.
constexpr LevelRange kRanges[] = {
    {QualityLevel::high, 1.0f, 0.75f},
    {QualityLevel::medium, 0.7f, 0.5f},
    {QualityLevel::low, 0.45f, 0.0f},
};
// The basic frame costs less than a quarter of low's a pixel here (640 x 480: basic at full
// size ran faster than low at half), so its range begins at twice low's smallest scale, four
// times the pixels, and runs down to the smallest picture again.
constexpr float kBasicScaleOverLow = 2.0f;

void addRange(std::vector<QualityChoice>& ladder, const LevelRange& range, float smallest) {
    bool any = false;
    for (int step = 0;; ++step) {
        const float scale = range.highest - kScaleStep * static_cast<float>(step);
        if (scale < range.lowest - 1e-4f || scale < smallest - 1e-4f) {
            break;
        }
        ladder.push_back({range.level, std::round(scale * 100.0f) / 100.0f});
        any = true;
    }
    if (!any) {
        ladder.push_back({range.level, smallest});
    }
}

std::vector<QualityChoice> makeLadder(std::uint32_t pictureHeight) {
    const float smallest =
        pictureHeight > kSmallestPictureLines
            ? static_cast<float>(kSmallestPictureLines) / static_cast<float>(pictureHeight)
            : 1.0f;
    std::vector<QualityChoice> ladder;
    for (const LevelRange& range : kRanges) {
        addRange(ladder, range, smallest);
    }
    if (ladder.back().scale > smallest) {
        ladder.push_back({QualityLevel::low, smallest});
    }
    const float basicHighest =
        std::min(1.0f, std::floor(kBasicScaleOverLow * smallest / kScaleStep + 1e-3f) * kScaleStep);
    addRange(ladder, {QualityLevel::basic, basicHighest, 0.0f}, smallest);
    if (ladder.back().scale > smallest) {
        ladder.push_back({QualityLevel::basic, smallest});
    }
    return ladder;
}

}  // namespace

QualityGovernor::QualityGovernor(std::uint32_t pictureHeight)
    : m_ladder(makeLadder(pictureHeight)),
      m_rung(m_ladder.size() - 1),
      m_retryAfter(m_ladder.size(), 0.0),
      m_failures(m_ladder.size(), 0) {
    m_samples.reserve(kMostSamples);
    m_scratch.reserve(kMostSamples);
}

double QualityGovernor::percentileSeconds(double share) {
    m_scratch.assign(m_samples.begin(), m_samples.end());
    const auto rank = static_cast<std::ptrdiff_t>(share * double(m_scratch.size() - 1) + 0.5);
    const auto at = m_scratch.begin() + rank;
    std::nth_element(m_scratch.begin(), at, m_scratch.end());
    return *at;
}

void QualityGovernor::moveTo(std::size_t rung, double now) {
    m_rung = rung;
    m_samples.clear();
    m_changedAt = now;
    m_skipPasses = kPassesAfterChange;
    m_settledReported = false;
}

std::optional<QualityChoice> QualityGovernor::record(double passSeconds, double now) {
    if (m_changedAt < 0.0) {
        m_changedAt = now;
    }
    if (m_skipPasses > 0) {
        --m_skipPasses;
        return std::nullopt;
    }
    if (m_samples.size() == kMostSamples) {
        m_samples.erase(m_samples.begin(), m_samples.begin() + kMostSamples / 2);
    }
    m_samples.push_back(passSeconds);
    const double held = now - m_changedAt;
    if (held < kDecideEvery || m_samples.size() < kFewestSamples) {
        return std::nullopt;
    }
    const double ratio = percentileSeconds(kJudgedShare) / kTargetPassSeconds;
    const std::size_t cheapest = m_ladder.size() - 1;
    if (ratio > kSlow && m_rung < cheapest) {
        const int failures = ++m_failures[m_rung];
        m_retryAfter[m_rung] = failures >= kMostRetries
                                   ? std::numeric_limits<double>::infinity()
                                   : now + kRetryAfter * double(1 << (failures - 1));
        const std::size_t steps = ratio > 3.0 ? 3 : (ratio > 1.6 ? 2 : 1);
        moveTo(std::min(m_rung + steps, cheapest), now);
        return choice();
    }
    if (ratio < kHeadroom && held >= kRaiseAfter && m_rung > 0) {
        const std::size_t steps = ratio < 0.3 ? 3 : (ratio < 0.4 ? 2 : 1);
        std::size_t wanted = m_rung > steps ? m_rung - steps : 0;
        while (wanted < m_rung && m_retryAfter[wanted] > now) {
            ++wanted;  // not back to a rung that was too slow, for now
        }
        if (wanted < m_rung) {
            moveTo(wanted, now);
            return choice();
        }
    }
    return std::nullopt;
}

std::optional<double> QualityGovernor::settledRate(double now) {
    if (m_settledReported || m_changedAt < 0.0 || now - m_changedAt < kSettled ||
        m_samples.size() < kFewestSamples) {
        return std::nullopt;
    }
    m_settledReported = true;
    return 1.0 / percentileSeconds(0.5);
}

std::string qualityLine(const QualityChoice& choice, std::uint32_t width, std::uint32_t height,
                        double passesPerSecond) {
    const PictureSize drawn = scaledPicture(width, height, choice.scale);
    std::ostringstream line;
    line << "Quality: " << toString(choice.level) << " at "
         << std::lround(double(choice.scale) * 100.0) << " % (" << width << " x " << height
         << " drawn as " << drawn.width << " x " << drawn.height << "), "
         << std::lround(passesPerSecond) << " frames a second";
    return line.str();
}

}  // namespace kes
