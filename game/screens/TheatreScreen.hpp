// The replay theatre: a recorded round watched in the level as it was flown, and the list of
// the raced course's rounds to watch (ReplaysScreen). While watching: play and pause, speeds
// 1/4 to 4, a step forward or back while paused, the previous or next ring, seeking along the
// timeline, restart, the camera (chase, orbit, trackside, free; turned, zoomed and flown) and
// the display hidden or shown; every control on the keyboard, the gamepad and the mouse (a row
// of buttons, the timeline, drags and the wheel), and shown in a footer. Along the bottom a
// timeline with a mark at each ring and the playhead, and over it, against a second round
// flying beside the watched one as a ghost, the time gained (above the axis) or lost (below)
// all along the course; at the left the controls as the round recorded them: throttle and
// brake as bars, the stick or keys as a point in a square. The race stands held while the
// theatre is open; leaving it goes back to the title and the chase camera.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "game/ghost/ReplayCursor.hpp"
#include "game/ghost/RoundDifference.hpp"
#include "game/screens/MenuScreen.hpp"
#include "game/screens/TheatreControls.hpp"
#include "render/ScreenLines.hpp"

namespace kes {

class ReplaysScreen final : public MenuScreen {
public:
    explicit ReplaysScreen(ScreenHost& host) : MenuScreen(host) {}
    const char* name() const override { return "replays"; }

protected:
    void build(Menu& menu) override;

private:
    std::vector<ReplayChoice> m_choices;
};

class TheatreScreen final : public Screen {
public:
    // Watches `watched`, compared with `against` when given (another round of the course).
    TheatreScreen(ScreenHost& host, ReplayChoice watched, std::optional<ReplayChoice> against);

    const char* name() const override { return "theatre"; }
    void enter() override;
    void act(MenuAction action) override;
    bool takeKey(int key) override;
    bool takeButton(std::uint16_t button) override;
    void releaseKey(int key) override;
    bool takeClick(const glm::vec2& at) override;
    void drag(const glm::vec2& at, const glm::vec2& moved) override;
    void letGo() override { m_scrubbing = false; }
    void wheel(float steps) override;
    bool takeLeftStick(const glm::vec2& stick) override;
    void rightStick(const glm::vec2& stick) override;
    void triggers(float left, float right) override;
    void frame(double now) override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override;
    bool dimsLevel() const override { return false; }

    const ReplayCursor& cursor() const { return m_cursor; }
    bool displayShown() const { return m_displayShown; }
    // Whether the footer says the gamepad's buttons (it was used last) or the keys.
    bool promptsGamepad() const { return m_host.lastDevice() == InputDevice::gamepad; }

private:
    // The keys held to turn or fly the camera.
    enum Held : std::size_t {
        heldAhead,
        heldBack,
        heldLeft,
        heldRight,
        heldRise,
        heldFall,
        heldTurnLeft,
        heldTurnRight,
        kHeld
    };

    static std::optional<Held> heldKeyOf(int key);
    void show();
    void leave();
    void press(theatre::Button button);
    void moveCamera(float seconds);
    float held(Held key) const { return m_held[key] ? 1.0f : 0.0f; }
    void queueTimeline(ScreenLines& lines) const;
    void queueInputs(ScreenLines& lines) const;

    ScreenHost& m_host;
    ReplayChoice m_watched;
    std::optional<ReplayChoice> m_against;
    ReplayCursor m_cursor;
    ReplayStage m_stage;
    std::vector<DifferencePoint> m_difference;  // along the course, against the second round
    // Made as the moment changes, into a buffer of its own: a pass allocates nothing.
    std::array<char, 160> m_status{};
    std::size_t m_statusLength = 0;
    PromptBar m_prompts;
    std::string m_againstLabel;
    double m_lastFrame = -1.0;
    bool m_displayShown = true;
    bool m_scrubbing = false;  // the left button went down on the timeline
    std::array<bool, kHeld> m_held{};
    glm::vec2 m_leftStick{0.0f};
    glm::vec2 m_rightStick{0.0f};
    glm::vec2 m_triggers{0.0f};  // left, right
};

}  // namespace kes
