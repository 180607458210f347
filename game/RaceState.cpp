#include "game/RaceState.hpp"

#include <iostream>

namespace kes {

void RaceState::checkTargetZone(std::uint32_t index) {
    ++checkCount;
    lastChecked = index;
    if (verbose) {
        std::cout << "Checked targetzone with idx " << static_cast<std::int32_t>(index)
                  << " (number " << checkCount << ")" << std::endl;
    }
}

void RaceState::onTargetZoneReached(std::uint32_t index) {
    const auto say = [this](const auto&... parts) {
        if (verbose) {
            ((std::cout << parts), ...) << std::endl;
        }
    };
    // The clock starts at the first touch of any zone, whichever its index.
    if (roundStartTime == -1.0f) {
        say("New start time ", currentTime);
        roundStartTime = currentTime;
    }
    const auto shown = static_cast<std::int32_t>(index);
    if (lastChecked == kNone) {
        if (index == 0) {
            checkTargetZone(0);
            say("Checked the first targetzone!");
        } else {
            say("the first reached target zone has to be the target zone with idx 0 but is ",
                shown);
        }
    } else if (index != 0) {
        if (index == lastChecked + 1) {
            checkTargetZone(index);
        } else {
            say("Can't check the targetzone with idx ", shown,
                " as the last checked targetzone was ", static_cast<std::int32_t>(lastChecked));
        }
    } else if (lastChecked == static_cast<std::uint32_t>(targetZoneCount - 1)) {
        finishRound();
    } else {
        say("The ship has to finish all ", targetZoneCount,
            " target zones of the round before it can check the target zone with index 0 "
            "again!");
    }
}

void RaceState::finishRound() {
    checkTargetZone(0);
    ++roundsFinished;
    const float roundTime = currentTime - roundStartTime;
    if (verbose) {
        std::cout << "Finished round " << roundsFinished << " in " << roundTime << " seconds."
                  << std::endl;
    }
    // The next round starts at once, with zone 0 already accepted.
    roundStartTime = currentTime;
    if (bestTime == -1.0f || bestTime > roundTime) {
        if (verbose) {
            std::cout << "New best time!" << std::endl;
        }
        bestTime = roundTime;
    }
}

}  // namespace kes
