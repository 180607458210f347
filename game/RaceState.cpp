#include "game/RaceState.hpp"

#include <iomanip>
#include <iostream>
#include <sstream>

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
        roundSplits.clear();
    }
    const auto shown = static_cast<std::int32_t>(index);
    if (lastChecked == kNone) {
        if (index == 0) {
            checkTargetZone(0);
            say("Checked the first targetzone!");
        } else {
            say("the first reached target zone has to be the target zone with idx 0 but is ",
                shown);
            if (observer != nullptr) {
                observer->onWrongZone(index);
            }
        }
    } else if (index != 0) {
        if (index == lastChecked + 1) {
            checkTargetZone(index);
            reportSplit(splitAt(index, index));
        } else {
            say("Can't check the targetzone with idx ", shown,
                " as the last checked targetzone was ", static_cast<std::int32_t>(lastChecked));
            if (observer != nullptr) {
                observer->onWrongZone(index);
            }
        }
    } else if (lastChecked == static_cast<std::uint32_t>(targetZoneCount - 1)) {
        finishRound();
    } else {
        say("The ship has to finish all ", targetZoneCount,
            " target zones of the round before it can check the target zone with index 0 "
            "again!");
        if (observer != nullptr) {
            observer->onWrongZone(index);
        }
    }
}

Split RaceState::splitAt(std::uint32_t zone, std::uint32_t position) const {
    Split split{zone, position, currentTime - roundStartTime, std::nullopt};
    if (position >= 1 && position <= referenceSplits.size()) {
        split.delta = split.time - referenceSplits[position - 1];
    }
    return split;
}

void RaceState::reportSplit(const Split& split) {
    roundSplits.push_back(split.time);
    if (verbose) {
        std::ostringstream line;
        line << std::fixed << std::setprecision(3) << "Split at targetzone " << split.zone << ": "
             << split.time << " seconds";
        if (split.delta) {
            line << " (" << std::showpos << *split.delta << " against the best round)";
        }
        std::cout << line.str() << std::endl;
    }
    if (observer != nullptr) {
        observer->onZoneChecked(split);
    }
}

void RaceState::finishRound() {
    checkTargetZone(0);
    ++roundsFinished;
    const float time = currentTime - roundStartTime;
    if (verbose) {
        std::cout << "Finished round " << roundsFinished << " in " << time << " seconds."
                  << std::endl;
    }
    const Split finish = splitAt(0, static_cast<std::uint32_t>(targetZoneCount));
    const bool newBest = bestTime == -1.0f || bestTime > time;
    if (newBest) {
        if (verbose) {
            std::cout << "New best time!" << std::endl;
        }
        bestTime = time;
    }
    reportSplit(finish);
    const bool newRecord = referenceTime < 0.0f || time < referenceTime;
    if (newRecord) {
        referenceTime = time;
        referenceSplits = roundSplits;
    }
    if (observer != nullptr) {
        observer->onRoundFinished(time, newBest, newRecord);
    }
    // The next round starts at once, with zone 0 already accepted.
    roundStartTime = currentTime;
    roundSplits.clear();
}

void RaceState::restart() {
    lastChecked = kNone;
    checkCount = 0;
    roundStartTime = -1.0f;
    roundSplits.clear();
}

void RaceState::setReference(float roundTime, std::vector<float> splits) {
    referenceTime = roundTime;
    referenceSplits = std::move(splits);
}

float RaceState::roundTime() const {
    return roundStartTime < 0.0f ? 0.0f : currentTime - roundStartTime;
}

}  // namespace kes
