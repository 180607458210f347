#include "game/screens/StatisticsScreen.hpp"

#include <algorithm>
#include <cmath>

#include "game/course/Course.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/Menu.hpp"
#include "game/screens/ScreenStack.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

// The plot's frame, in the text's units.
constexpr glm::vec2 kPlotLow{-0.72f, -0.72f};
constexpr glm::vec2 kPlotHigh{0.62f, 0.12f};
constexpr float kLineWidth = 2.0f;
constexpr float kDotSize = 5.0f;
constexpr float kFigureSize = 0.055f;
constexpr float kLabelSize = 0.04f;
constexpr float kBackY = -0.86f;  // the one entry, Back
// Light, as the text's colours are: bright enough to keep their hue under a menu's dimming.
constexpr glm::vec3 kFrame{0.8f, 0.85f, 1.0f};
constexpr glm::vec3 kRounds{2.0f, 2.0f, 2.0f};
constexpr glm::vec3 kRecord = kMenuAmber * 2.0f;
constexpr glm::vec3 kMedalColours[] = {{0.0f, 0.0f, 0.0f},
                                       {2.0f, 0.9f, 0.3f},   // bronze
                                       {1.6f, 1.7f, 1.9f},   // silver
                                       {2.5f, 2.0f, 0.2f},   // gold
                                       {0.3f, 2.0f, 2.6f}};  // prime

std::string minutesAndSeconds(double seconds) {
    const auto whole = static_cast<long>(std::lround(seconds));
    const std::string secondsPart = (whole % 60 < 10 ? "0" : "") + std::to_string(whole % 60);
    return fill(tr("{1} min {2} s"), {std::to_string(whole / 60), secondsPart});
}

}  // namespace

void StatisticsScreen::enter() {
    const CourseFacts facts = m_host.courseFacts();
    const CourseStatistics& stats = facts.statistics;
    m_title = fill(tr("STATISTICS  {1}"), {m_host.course().title});
    m_back = fill("> {1} <", {tr("Back")});
    m_figures = {fill(tr("Rounds flown {1}    Time flown {2}"),
                      {std::to_string(stats.rounds), minutesAndSeconds(stats.secondsFlown)})};
    if (stats.rounds > 0) {
        const Medal medal = facts.targets ? medalFor(stats.record, *facts.targets) : Medal::none;
        const std::string held =
            medal == Medal::none ? "" : " (" + std::string(tr(medalName(medal))) + ")";
        // TRANSLATORS: {1} the record's time, {2} its medal in brackets or nothing, {3} the sum
        // of the fastest time of each section.
        m_figures.push_back(
            fill(tr("Record {1} s{2}    Best sections {3} s"),
                 {threeDecimals(stats.record), held, threeDecimals(stats.bestSections)}));
    } else {
        m_figures.push_back(tr("No round finished on this course yet"));
    }
    buildPlot(facts);
}

void StatisticsScreen::act(MenuAction action) {
    if (action == MenuAction::back || action == MenuAction::choose) {
        m_host.screens().pop();
    }
}

glm::vec2 StatisticsScreen::point(float attempt, float time) const {
    const float x = m_attempts > 1.0f ? (attempt - 1.0f) / (m_attempts - 1.0f) : 0.5f;
    const float y = (m_slowest - time) / (m_slowest - m_fastest);  // faster is higher
    return glm::mix(kPlotLow, kPlotHigh, glm::vec2(x, y));
}

// The latest rounds left to right, time upwards: faster higher, as a better round should be.
void StatisticsScreen::buildPlot(const CourseFacts& facts) {
    m_plot.clear();
    m_labels.clear();
    const std::vector<float>& all = facts.statistics.times;
    const std::size_t first = all.size() > kMostPlotted ? all.size() - kMostPlotted : 0;
    const std::vector<float> times(all.begin() + static_cast<std::ptrdiff_t>(first), all.end());
    std::vector<float> levels(times);
    if (facts.targets) {
        levels.push_back(facts.targets->prime);
        levels.push_back(facts.targets->bronze);
    }
    if (levels.empty()) {
        return;
    }
    const auto [low, high] = std::minmax_element(levels.begin(), levels.end());
    const float margin = std::max(0.5f, 0.05f * (*high - *low));
    m_fastest = *low - margin;
    m_slowest = *high + margin;
    m_attempts = static_cast<float>(std::max<std::size_t>(times.size(), 2));
    const glm::vec2 corners[] = {
        kPlotLow, {kPlotHigh.x, kPlotLow.y}, kPlotHigh, {kPlotLow.x, kPlotHigh.y}};
    for (std::size_t i = 0; i < 4; ++i) {
        m_plot.push_back({corners[i], corners[(i + 1) % 4], 1.0f, kFrame});
    }
    if (facts.targets) {
        for (const Medal medal : {Medal::bronze, Medal::silver, Medal::gold, Medal::prime}) {
            addLevel(targetTime(*facts.targets, medal), tr(medalName(medal)),
                     kMedalColours[static_cast<int>(medal)]);
        }
    }
    if (facts.statistics.record > 0.0f) {
        addLevel(facts.statistics.record, tr("record"), kRecord);
    }
    for (std::size_t i = 0; i < times.size(); ++i) {
        const glm::vec2 at = point(float(i + 1), times[i]);
        if (i > 0) {
            m_plot.push_back({point(float(i), times[i - 1]), at, kLineWidth, kRounds});
        }
        m_plot.push_back({at, at, kDotSize, kRounds});
    }
    m_labels.push_back({threeDecimals(m_slowest),
                        {kPlotLow.x - 0.02f, kPlotLow.y},
                        kFrame,
                        HorizontalAnchor::ending});
    m_labels.push_back({threeDecimals(m_fastest),
                        {kPlotLow.x - 0.02f, kPlotHigh.y},
                        kFrame,
                        HorizontalAnchor::ending});
    if (!times.empty()) {
        m_labels.push_back(
            {fill(tr("rounds {1} to {2}"), {std::to_string(first + 1), std::to_string(all.size())}),
             {0.5f * (kPlotLow.x + kPlotHigh.x), kPlotLow.y - 0.06f},
             kFrame,
             HorizontalAnchor::centred});
    }
}

void StatisticsScreen::addLevel(float time, const char* name, const glm::vec3& colour) {
    const glm::vec2 left = point(1.0f, time);
    const glm::vec2 right = point(m_attempts, time);
    m_plot.push_back({{kPlotLow.x, left.y}, {kPlotHigh.x, right.y}, kLineWidth, colour});
    m_labels.push_back({std::string(name) + " " + threeDecimals(time),
                        {kPlotHigh.x + 0.02f, left.y},
                        colour,
                        HorizontalAnchor::starting});
}

void StatisticsScreen::queue(TextRenderer& text, float /*time*/) {
    queueShadowedText(text, m_title, {0.0f, MenuLayout::kTitleY}, MenuLayout::kTitleSize * 0.7f,
                      kMenuWhite);
    for (std::size_t i = 0; i < m_figures.size(); ++i) {
        queueShadowedText(text, m_figures[i], {0.0f, 0.45f - 0.08f * static_cast<float>(i)},
                          kFigureSize, kMenuWhite);
    }
    for (const Label& label : m_labels) {
        queueShadowedText(text, label.text, label.at, kLabelSize, label.colour, label.anchor);
    }
    queueShadowedText(text, m_back, {0.0f, kBackY}, MenuLayout::kEntrySize * 0.8f, kMenuAmber);
    queueMenuFooter(m_prompts, text, m_host.lastDevice(), false, m_host.uiScale());
}

void StatisticsScreen::queueLines(ScreenLines& lines) {
    queuePanel(lines, {-0.96f, kBackY - 0.06f},
               {0.96f, MenuLayout::kTitleY + MenuLayout::kTitleSize * 0.6f});
    queueChosenBar(lines, kBackY, 0.05f);
    for (const ScreenSegment& segment : m_plot) {
        lines.add(segment);
    }
    m_prompts.queueLines(lines);
}

}  // namespace kes
