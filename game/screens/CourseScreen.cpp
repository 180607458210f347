#include "game/screens/CourseScreen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include <GLFW/glfw3.h>

#include "game/course/Course.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/StatisticsScreen.hpp"

namespace kes {
namespace {

constexpr long long kLargestSeed = 4294967295ll;

}  // namespace

void CourseScreen::build(Menu& menu) {
    menu.title = "COURSE";
    const std::string raced = host().course().name;
    for (const CourseRow& row : host().courseRows()) {
        const std::string value =
            std::to_string(static_cast<long>(std::lround(row.length))) + " units" + chaseText(row);
        menu.entries.push_back(
            {row.title, [value] { return value; }, [this, name = row.name] { choose(name); }, {}});
        if (row.name == raced) {
            menu.selected = menu.entries.size() - 1;
        }
    }
    menu.entries.push_back(
        {"Seed", [this] { return m_seedText; }, [this] { choose("seed:" + m_seedText); },
         [this](int step) {
             const long long seed =
                 std::clamp(std::atoll(m_seedText.c_str()) + step, 0ll, kLargestSeed);
             m_seedText = std::to_string(seed);
         }});
    ScreenHost& game = host();
    menu.entries.push_back(
        {"Statistics",
         [&game] { return game.course().title; },
         [&game] { game.screens().push(std::make_unique<StatisticsScreen>(game)); },
         {}});
    menu.entries.push_back({"Back", {}, [this] { back(); }, {}});
}

std::string chaseText(const CourseRow& row) {
    std::string text;
    Medal held = Medal::none;
    if (row.record) {
        text += ", record " + threeDecimals(*row.record);
        if (row.targets) {
            held = medalFor(*row.record, *row.targets);
            text += held == Medal::none ? "" : " " + std::string(medalName(held));
        }
    }
    const Medal next = row.targets ? nextMedal(held) : Medal::none;
    if (next != Medal::none) {
        text += ", next " + std::string(medalName(next)) + " " +
                threeDecimals(targetTime(*row.targets, next));
    }
    return text;
}

void CourseScreen::choose(const std::string& name) {
    host().chooseCourse(name);
    host().screens().pop();
}

bool CourseScreen::takeKey(int key) {
    Menu& shown = *menu();
    if (key == GLFW_KEY_BACKSPACE) {
        m_seedText.pop_back();
        m_seedText = m_seedText.empty() ? "0" : m_seedText;
    } else if (key >= GLFW_KEY_0 && key <= GLFW_KEY_9 && m_seedText.size() < 10) {
        m_seedText =
            (m_seedText == "0" ? "" : m_seedText) + static_cast<char>('0' + (key - GLFW_KEY_0));
        if (std::stoll(m_seedText) > kLargestSeed) {
            m_seedText = std::to_string(kLargestSeed);
        }
        shown.selected = shown.entries.size() - 2;  // the seed entry
    } else {
        return false;
    }
    shown.refresh();
    return true;
}

}  // namespace kes
