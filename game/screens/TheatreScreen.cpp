#include "game/screens/TheatreScreen.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include <GLFW/glfw3.h>

#include "control/ShipController.hpp"
#include "game/race/FigureText.hpp"
#include "game/screens/Menu.hpp"
#include "game/screens/ScreenStack.hpp"
#include "physics/Step.hpp"
#include "platform/Gamepad.hpp"

namespace kes {
namespace {

// The timeline along the bottom, the difference line above it, the controls at the left; in
// the text's units.
constexpr float kTimelineLeft = -0.8f;
constexpr float kTimelineRight = 0.8f;
constexpr float kTimelineY = -0.72f;
constexpr float kDifferenceY = -0.55f;      // the difference line's axis
constexpr float kDifferenceHeight = 0.12f;  // the most either way
constexpr glm::vec2 kStickCentre{-0.86f, -0.2f};
constexpr float kStickHalf = 0.08f;
// Light as the race display's: the level behind the theatre is not dimmed.
constexpr glm::vec3 kLine{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kRing = kMenuAmber;
constexpr glm::vec3 kAhead{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehind{1.0f, 0.3f, 0.25f};
constexpr float kTextSize = 0.05f;

float timelineX(float fraction) {
    return kTimelineLeft + (kTimelineRight - kTimelineLeft) * fraction;
}

}  // namespace

void ReplaysScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = "REPLAYS OF " + game.course().title;
    m_choices = game.replays();
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        const ReplayChoice& choice = m_choices[i];
        const std::string value = threeDecimals(choice.ghost.roundTime) + " s  " +
                                  (choice.ghost.playerName.empty() ? "" : choice.ghost.playerName);
        menu.entries.push_back({choice.what,
                                [value] { return value; },
                                [this, &game, i] {
                                    // Compared with the fastest other round of the list.
                                    std::optional<ReplayChoice> against;
                                    for (std::size_t j = 0; j < m_choices.size(); ++j) {
                                        if (j != i && (!against || m_choices[j].ghost.roundTime <
                                                                       against->ghost.roundTime)) {
                                            against = m_choices[j];
                                        }
                                    }
                                    game.screens().push(std::make_unique<TheatreScreen>(
                                        game, m_choices[i], std::move(against)));
                                },
                                {}});
    }
    if (m_choices.empty()) {
        m_standingNote = "No round of this course to watch yet";
    }
    menu.entries.push_back({"Back", {}, [this] { back(); }, {}});
}

TheatreScreen::TheatreScreen(ScreenHost& host, ReplayChoice watched,
                             std::optional<ReplayChoice> against)
    : m_host(host),
      m_watched(std::move(watched)),
      m_against(std::move(against)),
      m_cursor(m_watched.ghost),
      m_stage(m_watched.ghost, host.startOf(m_watched.ghost)) {
    if (m_against) {
        m_difference = differenceAtRings(m_watched.ghost, m_against->ghost);
        m_againstLabel = "against " + m_against->what;
    }
}

void TheatreScreen::enter() {
    m_host.holdRace(true);
    m_cursor.play();
    show();
}

const char* TheatreScreen::footer() {
    return "Space Play/Pause   Left/Right Step   PgUp/PgDn Ring   Up/Down Speed   Home Restart   "
           "H Display   F12 Picture   Esc Back";
}

void TheatreScreen::leave() {
    m_host.holdRace(false);
    m_host.quitToTitle();
}

void TheatreScreen::act(MenuAction action) {
    switch (action) {
        case MenuAction::back: leave(); return;
        case MenuAction::choose: m_cursor.togglePlay(); break;
        case MenuAction::up: m_cursor.faster(); break;
        case MenuAction::down: m_cursor.slower(); break;
        case MenuAction::left: m_cursor.stepBack(); break;
        case MenuAction::right: m_cursor.stepForward(); break;
        case MenuAction::resume: break;
    }
    show();
}

bool TheatreScreen::takeKey(int key) {
    switch (key) {
        case GLFW_KEY_SPACE: m_cursor.togglePlay(); break;
        case GLFW_KEY_PAGE_UP: m_cursor.previousRing(); break;
        case GLFW_KEY_PAGE_DOWN: m_cursor.nextRing(); break;
        case GLFW_KEY_HOME: m_cursor.restart(); break;
        case GLFW_KEY_H: m_displayShown = !m_displayShown; break;
        default: return false;
    }
    show();
    return true;
}

bool TheatreScreen::takeButton(std::uint16_t button) {
    if (button == GamepadButton::kLeftShoulder) {
        m_cursor.previousRing();
    } else if (button == GamepadButton::kRightShoulder) {
        m_cursor.nextRing();
    } else if (button == GamepadButton::kY) {
        m_cursor.restart();
    } else if (button == GamepadButton::kX) {
        m_displayShown = !m_displayShown;
    } else {
        return false;
    }
    show();
    return true;
}

void TheatreScreen::frame(double now) {
    if (m_lastFrame >= 0.0 && m_cursor.playing()) {
        m_cursor.advance(static_cast<float>(now - m_lastFrame));
        show();
    }
    m_lastFrame = now;
}

// The level where the round was, and the line saying where the watching stands.
void TheatreScreen::show() {
    const auto stepsIn = static_cast<std::uint32_t>(std::lround(m_cursor.seconds() / kFixedStep));
    m_host.showReplayAt(m_stage, m_cursor.place(), stepsIn, m_cursor.ringsPassed());
    const float speed = m_cursor.speed();
    const int written = std::snprintf(
        m_status.data(), m_status.size(), "%s  %.3f / %.3f s   ring %zu of %zu   x%s%d%s",
        m_watched.what.c_str(), double(m_cursor.seconds()), double(m_watched.ghost.roundTime),
        m_cursor.ringsPassed(), m_watched.ghost.splits.size(), speed < 1.0f ? "1/" : "",
        static_cast<int>(std::lround(speed < 1.0f ? 1.0f / speed : speed)),
        m_cursor.playing() ? "" : "   paused");
    m_statusLength =
        std::min<std::size_t>(written > 0 ? std::size_t(written) : 0, m_status.size() - 1);
}

void TheatreScreen::queue(TextRenderer& text, float /*time*/) {
    queueShadowedText(text, footer(), {0.0f, -0.94f}, 0.04f, kMenuWhite);
    if (!m_displayShown) {
        return;
    }
    queueShadowedText(text, std::string_view(m_status.data(), m_statusLength), {0.0f, 0.88f},
                      kTextSize, kMenuWhite);
    if (m_against) {
        queueShadowedText(text, m_againstLabel, {kTimelineRight + 0.02f, kDifferenceY}, 0.035f,
                          kMenuWhite, HorizontalAnchor::starting);
    }
}

void TheatreScreen::queueLines(ScreenLines& lines) {
    if (m_displayShown) {
        queueTimeline(lines);
        queueInputs(lines);
    }
}

void TheatreScreen::queueTimeline(ScreenLines& lines) const {
    lines.add({{kTimelineLeft, kTimelineY}, {kTimelineRight, kTimelineY}, 3.0f, kLine});
    const Ghost& ghost = m_watched.ghost;
    const std::vector<float>& splits = ghost.splits;
    for (const float split : splits) {
        const float x = timelineX(split / ghost.roundTime);
        lines.add({{x, kTimelineY - 0.025f}, {x, kTimelineY + 0.025f}, 2.0f, kRing});
    }
    const float head = timelineX(m_cursor.fraction());
    lines.add({{head, kTimelineY - 0.045f}, {head, kTimelineY + 0.045f}, 4.0f, kMenuWhite});
    if (m_difference.size() < 2) {
        return;
    }
    lines.add({{kTimelineLeft, kDifferenceY}, {kTimelineRight, kDifferenceY}, 1.0f, kLine * 0.5f});
    float most = 0.1f;
    for (const float d : m_difference) {
        most = std::max(most, std::fabs(d));
    }
    // Gained is ahead: above the axis.
    const auto at = [&](std::size_t i) {
        const float fraction = i == 0 ? 0.0f : splits[i - 1] / ghost.roundTime;
        return glm::vec2(timelineX(fraction),
                         kDifferenceY - m_difference[i] / most * kDifferenceHeight);
    };
    for (std::size_t i = 1; i < m_difference.size(); ++i) {
        lines.add({at(i - 1), at(i), 2.0f, m_difference[i] <= 0.0f ? kAhead : kBehind});
    }
}

// The controls of the step watched: throttle and brake as bars beside a square, where a point
// stands for the stick or the turning keys.
void TheatreScreen::queueInputs(ScreenLines& lines) const {
    HidListener_SceneNodeController probe;
    probe.setControls(m_cursor.controls());
    using Direction = HidListener_SceneNodeController::Direction;
    const auto strength = [&](Direction direction) {
        return probe.isHeld(direction) ? std::min(probe.strengths[direction], 1.0f) : 0.0f;
    };
    const glm::vec2 c = kStickCentre;
    const float h = kStickHalf;
    const glm::vec2 corners[] = {c + glm::vec2(-h, -h), c + glm::vec2(h, -h), c + glm::vec2(h, h),
                                 c + glm::vec2(-h, h)};
    for (std::size_t i = 0; i < 4; ++i) {
        lines.add({corners[i], corners[(i + 1) % 4], 1.0f, kLine});
    }
    const glm::vec2 stick(strength(Direction::yawRight) - strength(Direction::yawLeft),
                          strength(Direction::pitchUp) - strength(Direction::pitchDown));
    const glm::vec2 point = c + stick * h;
    lines.addDot(point, 7.0f, kMenuAmber);
    const float throttle = strength(Direction::accelerate);
    const float brake = strength(Direction::brake);
    const float base = c.y - h;
    lines.add(
        {{c.x + h + 0.03f, base}, {c.x + h + 0.03f, base + 2.0f * h * throttle}, 8.0f, kAhead});
    lines.add({{c.x + h + 0.06f, base}, {c.x + h + 0.06f, base + 2.0f * h * brake}, 8.0f, kBehind});
}

}  // namespace kes
