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
#include "render/CameraRig.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

using theatre::kTimelineLeft;
using theatre::kTimelineRight;
using theatre::kTimelineY;
using theatre::timelineX;

// The difference line over the timeline, the controls at the left; in the text's units.
constexpr float kDifferenceY = -0.53f;      // the difference line's axis
constexpr float kDifferenceHeight = 0.11f;  // the most either way
constexpr glm::vec2 kStickCentre{-0.86f, -0.2f};
constexpr float kStickHalf = 0.08f;
// Light as the race display's: the level behind the theatre is not dimmed.
constexpr glm::vec3 kLine{1.0f, 1.0f, 1.0f};
constexpr glm::vec3 kRing = kMenuAmber;
constexpr glm::vec3 kAhead{0.25f, 1.0f, 0.35f};
constexpr glm::vec3 kBehind{1.0f, 0.3f, 0.25f};
constexpr float kTextSize = 0.05f;
// The viewer's hand on the camera: degrees a second at a full stick or a held key, degrees a
// text unit of dragging, units a second of free flight, wheel steps a second at a full trigger.
constexpr float kTurnRate = 90.0f;
constexpr float kDragDegrees = 90.0f;
constexpr float kFlySpeed = 40.0f;
constexpr float kZoomRate = 4.0f;
constexpr float kStickRest = 0.15f;  // a stick nearer its middle counts as let go

glm::vec2 outsideRest(const glm::vec2& stick) {
    return glm::length(stick) > kStickRest ? stick : glm::vec2(0.0f);
}

}  // namespace

void ReplaysScreen::build(Menu& menu) {
    ScreenHost& game = host();
    menu.title = fill(tr("REPLAYS OF {1}"), {game.course().title});
    m_choices = game.replays();
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        const ReplayChoice& choice = m_choices[i];
        const std::string value = threeDecimals(choice.ghost.roundTime) + " s  " +
                                  (choice.ghost.playerName.empty() ? "" : choice.ghost.playerName);
        menu.entries.push_back({tr(choice.what.c_str()),
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
        m_standingNote = tr("No round of this course to watch yet");
    }
    menu.entries.push_back({tr("Back"), {}, [this] { back(); }, {}});
}

TheatreScreen::TheatreScreen(ScreenHost& host, ReplayChoice watched,
                             std::optional<ReplayChoice> against)
    : m_host(host),
      m_watched(std::move(watched)),
      m_against(std::move(against)),
      m_cursor(m_watched.ghost),
      m_stage(m_watched.ghost, host.startOf(m_watched.ghost)) {
    if (m_against) {
        m_difference = differenceAlongRound(m_watched.ghost, m_against->ghost);
        m_againstLabel = fill(tr("against {1}"), {tr(m_against->what.c_str())});
    }
}

void TheatreScreen::enter() {
    m_host.holdRace(true);
    m_cursor.play();
    show();
}

void TheatreScreen::leave() {
    m_host.camera().setView(CameraView::chase);
    m_host.holdRace(false);
    m_host.quitToTitle();
}

void TheatreScreen::press(theatre::Button button) {
    using theatre::Button;
    switch (button) {
        case Button::restart: m_cursor.restart(); break;
        case Button::ringBack: m_cursor.previousRing(); break;
        case Button::stepBack: m_cursor.stepBack(); break;
        case Button::play: m_cursor.togglePlay(); break;
        case Button::stepForward: m_cursor.stepForward(); break;
        case Button::ringNext: m_cursor.nextRing(); break;
        case Button::slower: m_cursor.slower(); break;
        case Button::faster: m_cursor.faster(); break;
        case Button::camera: m_host.camera().nextView(); break;
        case Button::hide: m_displayShown = !m_displayShown; break;
    }
    show();
}

void TheatreScreen::act(MenuAction action) {
    // Enter, Escape and the arrows come here as menu actions, A, B and the d-pad too: the
    // footer says whichever was used.
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

// The camera's keys are held: they turn or fly it while down.
std::optional<TheatreScreen::Held> TheatreScreen::heldKeyOf(int key) {
    switch (key) {
        case GLFW_KEY_W: return heldAhead;  // the orbit: up
        case GLFW_KEY_S: return heldBack;   // the orbit: down
        case GLFW_KEY_A: return heldLeft;
        case GLFW_KEY_D: return heldRight;
        case GLFW_KEY_R: return heldRise;
        case GLFW_KEY_F: return heldFall;
        case GLFW_KEY_Q: return heldTurnLeft;
        case GLFW_KEY_E: return heldTurnRight;
        default: return std::nullopt;
    }
}

bool TheatreScreen::takeKey(int key) {
    using theatre::Button;
    if (const auto held = heldKeyOf(key)) {
        m_held[*held] = true;
        return true;
    }
    switch (key) {
        case GLFW_KEY_SPACE: press(Button::play); return true;
        case GLFW_KEY_PAGE_UP: press(Button::ringBack); return true;
        case GLFW_KEY_PAGE_DOWN: press(Button::ringNext); return true;
        case GLFW_KEY_HOME: press(Button::restart); return true;
        case GLFW_KEY_H: press(Button::hide); return true;
        case GLFW_KEY_C: press(Button::camera); return true;
        case GLFW_KEY_EQUAL:
        case GLFW_KEY_KP_ADD: wheel(1.0f); return true;
        case GLFW_KEY_MINUS:
        case GLFW_KEY_KP_SUBTRACT: wheel(-1.0f); return true;
        default: return false;
    }
}

void TheatreScreen::releaseKey(int key) {
    if (const auto held = heldKeyOf(key)) {
        m_held[*held] = false;
    }
}

bool TheatreScreen::takeButton(std::uint16_t button) {
    using theatre::Button;
    switch (button) {
        case GamepadButton::kLeftShoulder: press(Button::ringBack); return true;
        case GamepadButton::kRightShoulder: press(Button::ringNext); return true;
        case GamepadButton::kY: press(Button::restart); return true;
        case GamepadButton::kX: press(Button::hide); return true;
        case GamepadButton::kBack: press(Button::camera); return true;
        default: return false;
    }
}

// A click on the timeline seeks there (and a drag from it goes on seeking); on a button it
// does what the button says; anywhere else a drag turns the camera. With the display hidden, a
// click brings it back.
bool TheatreScreen::takeClick(const glm::vec2& at) {
    if (!m_displayShown) {
        press(theatre::Button::hide);
    } else if (theatre::onTimeline(at)) {
        m_scrubbing = true;
        m_cursor.seek(theatre::timelineFraction(at.x));
        show();
    } else if (const auto button = theatre::buttonAt(at)) {
        press(*button);
    }
    return true;
}

void TheatreScreen::drag(const glm::vec2& at, const glm::vec2& moved) {
    if (m_scrubbing) {
        m_cursor.seek(theatre::timelineFraction(at.x));
        show();
        return;
    }
    m_host.camera().turn(moved * kDragDegrees);
}

void TheatreScreen::wheel(float steps) {
    m_host.camera().zoom(steps);
}

// The left stick flies the free camera; under the other views it moves through the speeds as
// the d-pad does.
bool TheatreScreen::takeLeftStick(const glm::vec2& stick) {
    m_leftStick = outsideRest(stick);
    return m_host.camera().view() == CameraView::free;
}

void TheatreScreen::rightStick(const glm::vec2& stick) {
    m_rightStick = outsideRest(stick);
}

void TheatreScreen::triggers(float left, float right) {
    m_triggers = {left, right};
}

void TheatreScreen::frame(double now) {
    const float seconds = m_lastFrame >= 0.0 ? static_cast<float>(now - m_lastFrame) : 0.0f;
    m_lastFrame = now;
    if (m_cursor.playing() && seconds > 0.0f) {
        m_cursor.advance(seconds);
        show();
    }
    moveCamera(seconds);
}

// Held keys, the sticks and the triggers move the camera in proportion to the time passed: in
// the orbit the turning keys turn it round the ship, the free camera they fly.
void TheatreScreen::moveCamera(float seconds) {
    CameraRig& camera = m_host.camera();
    glm::vec2 turn{m_rightStick.x, -m_rightStick.y};
    glm::vec3 fly{0.0f};
    if (camera.view() == CameraView::orbit) {
        turn += glm::vec2(held(heldRight) - held(heldLeft), held(heldAhead) - held(heldBack));
    } else if (camera.view() == CameraView::free) {
        fly = {m_leftStick.x + held(heldRight) - held(heldLeft), held(heldRise) - held(heldFall),
               -m_leftStick.y + held(heldAhead) - held(heldBack)};
        turn.x += held(heldTurnRight) - held(heldTurnLeft);
    }
    camera.turn(turn * kTurnRate * seconds);
    camera.fly(fly * kFlySpeed * seconds);
    camera.zoom((m_triggers.y - m_triggers.x) * kZoomRate * seconds);
}

// The level where the round was, and the line saying where the watching stands.
void TheatreScreen::show() {
    const auto stepsIn = static_cast<std::uint32_t>(std::lround(m_cursor.seconds() / kFixedStep));
    // The compared round at the same moment of its own round.
    std::optional<GhostSample> beside;
    if (m_against) {
        beside = m_against->ghost.at(m_cursor.seconds());
    }
    m_host.showReplayAt(m_stage, m_cursor.place(), stepsIn, m_cursor.ringsPassed(),
                        beside ? &*beside : nullptr);
    const float speed = m_cursor.speed();
    const int written = std::snprintf(
        // TRANSLATORS: which round, the moment and the round's time in seconds, the rings
        // passed of all, the speed ("x1/2", "x4"), the camera, "   paused" or nothing.
        m_status.data(), m_status.size(), tr("%s  %.3f / %.3f s   ring %zu of %zu   x%s%d   %s%s"),
        tr(m_watched.what.c_str()), double(m_cursor.seconds()), double(m_watched.ghost.roundTime),
        m_cursor.ringsPassed(), m_watched.ghost.splits.size(), speed < 1.0f ? "1/" : "",
        static_cast<int>(std::lround(speed < 1.0f ? 1.0f / speed : speed)),
        tr(toString(m_host.camera().view())), m_cursor.playing() ? "" : tr("   paused"));
    m_statusLength =
        std::min<std::size_t>(written > 0 ? std::size_t(written) : 0, m_status.size() - 1);
}

void TheatreScreen::queue(TextRenderer& text, float /*time*/) {
    theatre::queueFooter(m_prompts, text, promptsGamepad());
    if (!m_displayShown) {
        return;
    }
    theatre::queueButtonWords(text, m_cursor.playing());
    queueShadowedText(text, std::string_view(m_status.data(), m_statusLength), {0.0f, 0.88f},
                      kTextSize, kMenuWhite);
    if (m_against) {
        queueShadowedText(text, m_againstLabel, {kTimelineRight + 0.02f, kDifferenceY}, 0.035f,
                          kMenuWhite, HorizontalAnchor::starting);
    }
}

void TheatreScreen::queueLines(ScreenLines& lines) {
    m_prompts.queueLines(lines);
    if (m_displayShown) {
        theatre::queueButtonFrames(lines);
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
    for (const DifferencePoint& point : m_difference) {
        most = std::max(most, std::fabs(point.difference));
    }
    // Gained is ahead: above the axis.
    const auto at = [&](const DifferencePoint& point) {
        return glm::vec2(timelineX(point.seconds / ghost.roundTime),
                         kDifferenceY - point.difference / most * kDifferenceHeight);
    };
    for (std::size_t i = 1; i < m_difference.size(); ++i) {
        const DifferencePoint& point = m_difference[i];
        lines.add({at(m_difference[i - 1]), at(point), 2.0f,
                   point.difference <= 0.0f ? kAhead : kBehind});
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
