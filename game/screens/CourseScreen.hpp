// The courses: each bundled and own course with its length, the record kept on it with the
// medal it earned and the next target, a seed to grow one from (left and right step through
// the numbers; digits type one), and the raced course's statistics. The chosen course (or the
// seed's) is pictured at the top right: its line from above, the rings numbered in their
// order, the start marked.
#pragma once

#include <string>
#include <vector>

#include "game/screens/MenuScreen.hpp"

namespace kes {

// What a course's entry says of the chase: ", record 24.350 gold, next prime 23.717", or
// ", next bronze 30.800" before any record.
std::string chaseText(const CourseRow& row);

class CourseScreen final : public MenuScreen {
public:
    explicit CourseScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "course"; }

    // Digits type the seed (and choose its entry); Backspace takes the last one back.
    bool takeKey(int key) override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override;
    // The map pictured now: the chosen course's, or the seed's; none on the other entries.
    const CourseMap* shownMap();

protected:
    void build(Menu& menu) override;

private:
    void choose(const std::string& name);

    // Where a point of a map (-1 to 1 each way) stands on the screen, its shape kept.
    glm::vec2 onScreen(const glm::vec2& point) const;

    std::string m_seedText = "1";
    std::vector<CourseMap> m_maps;  // the course entries', in their order
    CourseMap m_seedMap;
    std::string m_seedMapText;  // the seed m_seedMap was grown from
    float m_pixelAspect = 0.75f;
    std::vector<std::string> m_ringNumbers;
};

}  // namespace kes
