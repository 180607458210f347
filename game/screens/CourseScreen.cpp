#include "game/screens/CourseScreen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include <GLFW/glfw3.h>

#include "game/course/Course.hpp"
#include "game/course/CourseSeed.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/ScreenStack.hpp"
#include "game/screens/StatisticsScreen.hpp"
#include "render/ScreenLines.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr long long kLargestSeed = 4294967295ll;
// The map's place: its middle and its half height, in the text's units (top right, beside the
// title); its half width follows the picture's shape.
constexpr glm::vec2 kMapMiddle{0.7f, 0.52f};
constexpr float kMapHalf = 0.19f;
constexpr glm::vec3 kMapLine{0.55f, 0.75f, 1.0f};
constexpr glm::vec3 kMapStart{0.3f, 1.0f, 0.4f};
constexpr float kNumberSize = 0.032f;

}  // namespace

void CourseScreen::build(Menu& menu) {
    menu.title = tr("COURSE");
    const std::string raced = host().course().name;
    m_maps.clear();
    for (CourseRow& row : host().courseRows()) {
        m_maps.push_back(std::move(row.map));
        const std::string value =
            fill(trn("{1} unit", "{1} units", static_cast<unsigned long>(std::lround(row.length))),
                 {std::to_string(static_cast<long>(std::lround(row.length)))}) +
            chaseText(row);
        menu.entries.push_back(
            {row.title, [value] { return value; }, [this, name = row.name] { choose(name); }, {}});
        if (row.name == raced) {
            menu.selected = menu.entries.size() - 1;
        }
    }
    menu.entries.push_back({tr("Seed"), [this] { return m_seedText; },
                            [this] { choose("seed:" + m_seedText); },  // not shown: a setting
                            [this](int step) {
                                const long long seed = std::clamp(
                                    std::atoll(m_seedText.c_str()) + step, 0ll, kLargestSeed);
                                m_seedText = std::to_string(seed);
                            }});
    ScreenHost& game = host();
    menu.entries.push_back(
        {tr("Statistics"),
         [&game] { return game.course().title; },
         [&game] { game.screens().push(std::make_unique<StatisticsScreen>(game)); },
         {}});
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

std::string chaseText(const CourseRow& row) {
    std::string text;
    Medal held = Medal::none;
    if (row.record) {
        text += fill(tr(", record {1}"), {threeDecimals(*row.record)});
        if (row.targets) {
            held = medalFor(*row.record, *row.targets);
            text += held == Medal::none ? "" : " " + std::string(tr(medalName(held)));
        }
    }
    const Medal next = row.targets ? nextMedal(held) : Medal::none;
    if (next != Medal::none) {
        // TRANSLATORS: {1} a medal ("gold"), {2} its time.
        text += fill(tr(", next {1} {2}"),
                     {tr(medalName(next)), threeDecimals(targetTime(*row.targets, next))});
    }
    return text;
}

const CourseMap* CourseScreen::shownMap() {
    const std::size_t chosen = menu()->selected;
    if (chosen < m_maps.size()) {
        return &m_maps[chosen];
    }
    if (chosen == m_maps.size()) {  // the seed: grown when its number changes
        if (m_seedMapText != m_seedText) {
            const long long seed = std::clamp(std::atoll(m_seedText.c_str()), 0ll, kLargestSeed);
            m_seedMap = courseMap(courseFromSeed(static_cast<std::uint32_t>(seed)));
            m_seedMapText = m_seedText;
        }
        return &m_seedMap;
    }
    return nullptr;
}

glm::vec2 CourseScreen::onScreen(const glm::vec2& point) const {
    return kMapMiddle + point * glm::vec2(kMapHalf * m_pixelAspect, kMapHalf);
}

void CourseScreen::queue(TextRenderer& text, float time) {
    MenuScreen::queue(text, time);
    const CourseMap* map = shownMap();
    if (map == nullptr) {
        return;
    }
    while (m_ringNumbers.size() < map->rings.size()) {
        m_ringNumbers.push_back(std::to_string(m_ringNumbers.size()));
    }
    for (std::size_t i = 0; i < map->rings.size(); ++i) {
        queueShadowedText(text, m_ringNumbers[i], onScreen(map->rings[i]), kNumberSize, kMenuAmber);
    }
}

void CourseScreen::queueLines(ScreenLines& lines) {
    MenuScreen::queueLines(lines);
    m_pixelAspect = lines.pixelAspect();
    const CourseMap* map = shownMap();
    if (map == nullptr) {
        return;
    }
    // Widths in pixels at 1080 lines, in proportion above (never thinner below).
    const float pixels = std::max(1.0f, lines.shownHeight() / 1080.0f);
    for (std::size_t i = 1; i < map->line.size(); ++i) {
        lines.add({onScreen(map->line[i - 1]), onScreen(map->line[i]), 2.0f * pixels, kMapLine});
    }
    lines.addDot(onScreen(map->start), 12.0f * pixels, kMapStart);
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
