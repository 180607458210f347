// The raced course's statistics from the round history: rounds flown, time flown, the record,
// the best time of each section between rings summed, and a plot of the round times over the
// attempts with the record's line and each medal's, drawn by the game itself. Back (Escape,
// B, Enter) returns.
#pragma once

#include <string>
#include <vector>

#include <glm/glm.hpp>

#include "game/screens/Prompts.hpp"
#include "game/screens/Screen.hpp"
#include "render/ScreenLines.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

class StatisticsScreen final : public Screen {
public:
    // The plot shows at most this many of the latest rounds.
    static constexpr std::size_t kMostPlotted = 400;

    explicit StatisticsScreen(ScreenHost& host) : m_host(host) {}
    const char* name() const override { return "statistics"; }

    void enter() override;
    void act(MenuAction action) override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override;

    // What the screen says, line by line (for the tests).
    const std::vector<std::string>& figures() const { return m_figures; }
    const std::vector<ScreenSegment>& plot() const { return m_plot; }

private:
    struct Label {
        std::string text;
        glm::vec2 at;
        glm::vec3 colour;
        HorizontalAnchor anchor;
    };
    void buildPlot(const CourseFacts& facts);
    void addLevel(float time, const char* name, const glm::vec3& colour);
    glm::vec2 point(float attempt, float time) const;

    ScreenHost& m_host;
    std::string m_title;
    std::string m_back;  // the one entry, chosen
    std::vector<std::string> m_figures;
    std::vector<ScreenSegment> m_plot;
    PromptBar m_prompts;
    std::vector<Label> m_labels;
    float m_slowest = 1.0f;  // the plot's time range
    float m_fastest = 0.0f;
    float m_attempts = 1.0f;
};

}  // namespace kes
