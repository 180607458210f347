#include "game/race/Medals.hpp"

#include <algorithm>
#include <cmath>

#include "game/race/FigureText.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr float kTenth = 0.1f;

// To the nearest tenth, and at least a tenth above `below`.
float tenthAbove(float time, float below) {
    const float rounded = std::round(time / kTenth) * kTenth;
    const float least = std::ceil((below + kTenth) / kTenth - 1e-3f) * kTenth;
    return std::max(rounded, least);
}

}  // namespace

TargetTimes targetsFor(float prime, std::vector<float> primeSplits,
                       const std::optional<CourseTargets>& own) {
    TargetTimes targets;
    targets.prime = prime;
    targets.primeSplits = std::move(primeSplits);
    if (own && own->gold > prime) {
        targets.gold = own->gold;
        targets.silver = own->silver;
        targets.bronze = own->bronze;
        targets.courseOwn = true;
        return targets;
    }
    targets.gold = tenthAbove(prime * kGoldFactor, prime);
    targets.silver = tenthAbove(prime * kSilverFactor, targets.gold);
    targets.bronze = tenthAbove(prime * kBronzeFactor, targets.silver);
    return targets;
}

Medal medalFor(float time, const TargetTimes& targets) {
    if (!(time > 0.0f)) {
        return Medal::none;
    }
    for (const Medal medal : {Medal::prime, Medal::gold, Medal::silver, Medal::bronze}) {
        if (time <= targetTime(targets, medal)) {
            return medal;
        }
    }
    return Medal::none;
}

Medal nextMedal(Medal medal) {
    return medal == Medal::prime ? Medal::none : static_cast<Medal>(static_cast<int>(medal) + 1);
}

float targetTime(const TargetTimes& targets, Medal medal) {
    switch (medal) {
        case Medal::bronze: return targets.bronze;
        case Medal::silver: return targets.silver;
        case Medal::gold: return targets.gold;
        case Medal::prime: return targets.prime;
        case Medal::none: break;
    }
    return 0.0f;
}

std::vector<float> targetSplits(const TargetTimes& targets, Medal medal) {
    std::vector<float> splits = targets.primeSplits;
    if (targets.prime > 0.0f) {
        const float scale = targetTime(targets, medal) / targets.prime;
        for (float& split : splits) {
            split *= scale;
        }
    }
    return splits;
}

const char* medalName(Medal medal) {
    switch (medal) {
        case Medal::bronze: return trLater("bronze");
        case Medal::silver: return trLater("silver");
        case Medal::gold: return trLater("gold");
        case Medal::prime: return trLater("prime");
        case Medal::none: break;
    }
    return "";
}

const char* medalTitle(Medal medal) {
    switch (medal) {
        case Medal::bronze: return trLater("Bronze");
        case Medal::silver: return trLater("Silver");
        case Medal::gold: return trLater("Gold");
        case Medal::prime: return trLater("Prime");
        case Medal::none: break;
    }
    return "";
}

std::string targetsLine(const std::string& courseName, const TargetTimes& targets) {
    return "Targets for " + courseName + ": bronze " + threeDecimals(targets.bronze) +
           " s, silver " + threeDecimals(targets.silver) + " s, gold " +
           threeDecimals(targets.gold) + " s, prime " + threeDecimals(targets.prime) + " s";
}

}  // namespace kes
