// The courses: each bundled and own course with its length and the record kept on it, and a
// seed to grow one from (left and right step through the numbers; digits type one).
#pragma once

#include <string>

#include "game/screens/MenuScreen.hpp"

namespace kes {

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
