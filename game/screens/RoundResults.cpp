#include "game/screens/RoundResults.hpp"

#include <string>

#include "game/race/FigureText.hpp"
#include "game/screens/Menu.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr glm::vec3 kAhead{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehind{1.0f, 0.3f, 0.25f};

}  // namespace

void RoundResults::startRace(std::vector<float> record, std::optional<TargetTimes> targets) {
    m_result.reset();
    m_nextRecord = std::move(record);
    m_targets = std::move(targets);
}

std::string medalLine(float time, const TargetTimes& targets) {
    const Medal won = medalFor(time, targets);
    std::string line =
        won == Medal::none ? tr("No medal") : fill(tr("{1} medal"), {tr(medalTitle(won))});
    const Medal next = nextMedal(won);
    if (next != Medal::none) {
        // TRANSLATORS: {1} the next medal ("gold"), {2} its time, {3} how much faster it is.
        line += "   " + fill(tr("{1} {2} s is {3} s faster"),
                             {tr(medalName(next)), threeDecimals(targetTime(targets, next)),
                              threeDecimals(time - targetTime(targets, next))});
    }
    return line;
}

void RoundResults::onRoundFinished(const RoundResult& result) {
    m_result = result;
    m_resultSince = m_time;
    // What this round was measured against stays until the next round's results.
    m_bestBefore = m_nextBest;
    if (result.newBest) {
        m_nextBest = result.splits;
    }
    m_recordBefore = m_nextRecord;
    if (result.newRecord) {
        m_nextRecord = result.splits;
    }
}

void RoundResults::queueLines(ScreenLines& lines, float time) const {
    if (!m_result || time - m_resultSince > kShownSeconds) {
        return;
    }
    // From above the medal line to below the last split, clear of the display at the top left.
    const auto rows = static_cast<float>(m_result->splits.size());
    queuePanel(lines, {-0.6f, 0.3f - 0.065f * rows - 0.02f}, {0.8f, m_targets ? 0.72f : 0.5f});
}

void RoundResults::queue(TextRenderer& text, float time) const {
    if (!m_result || time - m_resultSince > kShownSeconds) {
        return;
    }
    const RoundResult& result = *m_result;
    std::string headline =
        fill(tr("Round {1}:  {2} s"), {std::to_string(result.round), threeDecimals(result.time)});
    if (result.newRecord) {
        headline += tr("   New record");
    } else if (result.newBest) {
        headline += tr("   New best");
    }
    // Below the split the race display shows at the top.
    queueShadowedText(text, headline, {0.0f, 0.42f}, 0.09f,
                      result.newRecord ? kMenuAmber : kMenuWhite);
    if (m_targets) {
        queueShadowedText(text, medalLine(result.time, *m_targets), {0.0f, 0.63f}, 0.06f,
                          kMenuWhite);
    }
    for (std::size_t i = 0; i < result.splits.size(); ++i) {
        const float y = 0.3f - 0.065f * static_cast<float>(i);
        const std::string zone = i + 1 == result.splits.size()
                                     ? tr("Finish")
                                     : fill(tr("Zone {1}"), {std::to_string(i + 2)});
        queueShadowedText(text, zone + "   " + threeDecimals(result.splits[i]), {-0.05f, y}, 0.055f,
                          kMenuWhite, HorizontalAnchor::ending);
        const auto delta = [&](const std::vector<float>& against, const char* what, float x) {
            if (i < against.size()) {
                const float d = result.splits[i] - against[i];
                queueShadowedText(text, threeDecimals(d, true) + " " + what, {x, y}, 0.055f,
                                  d <= 0.0f ? kAhead : kBehind, HorizontalAnchor::starting);
            }
        };
        // TRANSLATORS: after a split's difference: "-0.250 best".
        delta(m_bestBefore, trc("split", "best"), 0.0f);
        delta(m_recordBefore, trc("split", "record"), 0.38f);
    }
}

}  // namespace kes
