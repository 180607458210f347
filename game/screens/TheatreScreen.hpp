// The replay theatre: a recorded round watched in the level as it was flown, and the list of
// the raced course's rounds to watch (ReplaysScreen). While watching: play and pause, speeds
// 1/4 to 4, a step forward or back while paused, the previous or next ring, restart, the
// display hidden or shown; every control on the keyboard and the gamepad, and shown in a
// footer. Along the bottom a timeline with a mark at each ring and the playhead, and beside
// it, against a second round, the time gained (above the axis) or lost (below) at each ring;
// at the left the controls as the round recorded them: throttle and brake as bars, the stick
// or keys as a point in a square. The race stands held while the theatre is open; leaving it
// goes back to the title.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "game/ghost/ReplayCursor.hpp"
#include "game/screens/MenuScreen.hpp"
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
    void frame(double now) override;
    void queue(TextRenderer& text, float time) override;
    void queueLines(ScreenLines& lines) override;
    bool dimsLevel() const override { return false; }

    const ReplayCursor& cursor() const { return m_cursor; }
    // "Space Play · Left/Right Step · ..."
    static const char* footer();

private:
    void show();
    void leave();
    void queueTimeline(ScreenLines& lines) const;
    void queueInputs(ScreenLines& lines) const;

    ScreenHost& m_host;
    ReplayChoice m_watched;
    std::optional<ReplayChoice> m_against;
    ReplayCursor m_cursor;
    ReplayStage m_stage;
    std::vector<float> m_difference;  // at each ring, against the second round
    // Made as the moment changes, into a buffer of its own: a pass allocates nothing.
    std::array<char, 160> m_status{};
    std::size_t m_statusLength = 0;
    std::string m_againstLabel;
    double m_lastFrame = -1.0;
    bool m_displayShown = true;
};

}  // namespace kes
