// The race display over the picture: at the bottom right the rounds finished, the running
// round's time, this run's best and the record across runs; at the top left the zone to touch
// next and its distance; for two seconds after a zone is checked the split against the best
// round, green ahead and red behind; and "Paused" in the middle while the race stands still.
// Positions are in normalised device coordinates, so the layout follows any window.
#pragma once

#include <cstdint>
#include <optional>

#include "game/race/RaceEvents.hpp"
#include "text/TextRenderer.hpp"

namespace kes {

// What the display shows this frame.
struct HudFacts {
    std::uint32_t roundsFinished = 0;
    float roundTime = 0.0f;           // seconds
    float bestTime = -1.0f;           // this run's; below 0 for none yet
    std::optional<float> recordTime;  // across runs
    std::uint32_t nextZone = 0;
    float nextZoneDistance = 0.0f;  // units
    bool paused = false;
    float uiScale = 1.0f;  // the words larger by this, each group grown from its corner
};

class Hud final : public RaceObserver {
public:
    static constexpr float kSplitShownSeconds = 2.0f;  // real seconds

    void onSplit(const Split& split) override;
    void onRestart() override;

    // Queues this frame's text; `time` is real time, for how long a split stays.
    void queue(TextRenderer& text, const HudFacts& facts, float time);

private:
    void queueSplit(TextRenderer& text, float time, float scale);

    std::optional<Split> m_split;  // the last split, shown for a while
    bool m_splitFresh = false;     // its display time starts at the next frame
    float m_splitShownUntil = 0.0f;
};

}  // namespace kes
