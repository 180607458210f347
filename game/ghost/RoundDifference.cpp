#include "game/ghost/RoundDifference.hpp"

#include <algorithm>
#include <cmath>

#include "physics/Step.hpp"

namespace kes {
namespace {

// Further between two samples than any ship flies: the ship was put back on the course, which
// is no way flown along it.
constexpr float kPutBack = 30.0f;  // units in one sample's time (the fastest fly about 7)

// One round's flight through a section: the times of its samples and the distance flown by
// each, so that a share of the way maps back to a moment.
class SectionFlight {
public:
    // Measured through the ghost's own samples (its path is the line through them), from
    // the section's first moment to its last.
    SectionFlight(const Ghost& ghost, float from, float to) {
        const float every = kFixedStep * float(std::max<std::uint32_t>(ghost.sampleEvery, 1u));
        m_times.push_back(from);
        m_flown.push_back(0.0f);
        glm::vec3 last = ghost.at(from).position;
        const auto pass = [&](float time) {
            const glm::vec3 here = ghost.at(time).position;
            m_times.push_back(time);
            const float flown = glm::distance(last, here);
            m_flown.push_back(m_flown.back() + (flown < kPutBack ? flown : 0.0f));
            last = here;
        };
        for (auto k = static_cast<std::uint32_t>(std::floor(from / every)) + 1;
             float(k) * every < to; ++k) {
            pass(float(k) * every);
        }
        pass(to);
    }

    // When the round had flown `share` (0 to 1) of its way through the section; a round that
    // stood still is taken as moving evenly in time.
    float momentAt(float share) const {
        const float total = m_flown.back();
        if (total <= 0.0f) {
            return m_times.front() + share * (m_times.back() - m_times.front());
        }
        const float wanted = share * total;
        const auto after = std::lower_bound(m_flown.begin(), m_flown.end(), wanted);
        if (after == m_flown.begin()) {
            return m_times.front();
        }
        if (after == m_flown.end()) {
            return m_times.back();
        }
        const auto i = static_cast<std::size_t>(after - m_flown.begin());
        const float span = m_flown[i] - m_flown[i - 1];
        const float within = span > 0.0f ? (wanted - m_flown[i - 1]) / span : 1.0f;
        return m_times[i - 1] + within * (m_times[i] - m_times[i - 1]);
    }

private:
    std::vector<float> m_times;
    std::vector<float> m_flown;
};

}  // namespace

std::vector<DifferencePoint> differenceAlongRound(const Ghost& ghost, const Ghost& other,
                                                  std::size_t pointsPerSection) {
    std::vector<DifferencePoint> points{{0.0f, 0.0f}};
    const std::size_t sections = std::min(ghost.splits.size(), other.splits.size());
    const std::size_t points_ = std::max<std::size_t>(pointsPerSection, 1);
    float watchedFrom = 0.0f;
    float otherFrom = 0.0f;
    for (std::size_t i = 0; i < sections; ++i) {
        const SectionFlight watched(ghost, watchedFrom, ghost.splits[i]);
        const SectionFlight compared(other, otherFrom, other.splits[i]);
        for (std::size_t k = 1; k < points_; ++k) {
            const float share = float(k) / float(points_);
            const float at = watched.momentAt(share);
            points.push_back({at, at - compared.momentAt(share)});
        }
        // The ring itself: the splits, not a sample's nearest time.
        points.push_back({ghost.splits[i], ghost.splits[i] - other.splits[i]});
        watchedFrom = ghost.splits[i];
        otherFrom = other.splits[i];
    }
    return points;
}

}  // namespace kes
