// The courses: each bundled and own course with its length, the record kept on it with the
// medal it earned and the next target, a seed to grow one from (left and right step through
// the numbers; digits type one), and the raced course's statistics.
#pragma once

#include <string>

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

protected:
    void build(Menu& menu) override;

private:
    void choose(const std::string& name);

    std::string m_seedText = "1";
};

}  // namespace kes
