// The automatic quality against a machine made of arithmetic: a pass costs a fixed part for the
// level plus a part for every pixel drawn. The governor must settle within a bounded number of
// passes on the best choice that holds 60 passes a second, and then hold it.
#include "render/QualityGovernor.hpp"

#include <algorithm>
#include <cmath>
#include <functional>

#include <gtest/gtest.h>

namespace kes {
namespace {

constexpr std::uint32_t kWidth = 640;
constexpr std::uint32_t kHeight = 480;

// Milliseconds a pass takes at a choice: fixed parts and costs a pixel by level (basic, low,
// medium, high), shaped like the software rasteriser's (high pays for reflections and full
// bloom, basic lights each pixel once).
struct Machine {
    double fixedMs[4];
    double nsPerPixel[4];
    double passSeconds(const QualityChoice& c) const {
        const auto level = static_cast<std::size_t>(c.level);
        const double pixels = double(kWidth) * kHeight * double(c.scale) * double(c.scale);
        return (fixedMs[level] + nsPerPixel[level] * pixels * 1e-6) / 1000.0;
    }
};

struct Flight {
    std::vector<QualityChoice> changes;  // every choice in order
    std::vector<double> changeTimes;
    QualityChoice final;
};

// Simulated passes: each takes the machine's time at the current choice, plus its noise.
Flight fly(
    const Machine& machine, double seconds,
    const std::function<double(int)>& noise = [](int) { return 0.0; }) {
    QualityGovernor governor(kHeight);
    Flight run;
    double now = 0.0;
    for (int pass = 0; now < seconds; ++pass) {
        const double passTime = machine.passSeconds(governor.choice()) * (1.0 + noise(pass));
        now += passTime;
        if (const auto change = governor.record(passTime, now)) {
            run.changes.push_back(*change);
            run.changeTimes.push_back(now);
        }
    }
    run.final = governor.choice();
    return run;
}

double lastChangeTime(const Flight& run) {
    return run.changeTimes.empty() ? 0.0 : run.changeTimes.back();
}

TEST(QualityGovernor, TheLadderRunsFromHighAtFullSizeThroughLowToBasicAt240Lines) {
    const QualityGovernor governor(kHeight);
    const auto& ladder = governor.ladder();
    ASSERT_GE(ladder.size(), 10u);
    EXPECT_EQ(ladder.front(), (QualityChoice{QualityLevel::high, 1.0f}));
    EXPECT_EQ(ladder.back(), (QualityChoice{QualityLevel::basic, 0.5f}));
    // Low ends at the smallest picture, where basic begins again at twice the scale.
    const auto firstBasic = std::find_if(ladder.begin(), ladder.end(), [](const QualityChoice& c) {
        return c.level == QualityLevel::basic;
    });
    ASSERT_NE(firstBasic, ladder.begin());
    EXPECT_EQ(*(firstBasic - 1), (QualityChoice{QualityLevel::low, 0.5f}));
    EXPECT_EQ(*firstBasic, (QualityChoice{QualityLevel::basic, 1.0f}));
    EXPECT_EQ(ladder.end() - firstBasic, 11);     // 1.0 down to 0.5 in steps of 0.05
    EXPECT_EQ(governor.choice(), ladder.back());  // it starts cheap: the start stays short
    for (std::size_t i = 1; i < ladder.size(); ++i) {
        EXPECT_LE(static_cast<int>(ladder[i].level), static_cast<int>(ladder[i - 1].level));
    }
    // A window of 240 lines or less is never drawn smaller.
    EXPECT_EQ(QualityGovernor(200).ladder().back().scale, 1.0f);
    const QualityGovernor tall(720);
    EXPECT_NEAR(tall.ladder().back().scale, 240.0f / 720.0f, 1e-6f);
    const auto tallBasic =
        std::find_if(tall.ladder().begin(), tall.ladder().end(),
                     [](const QualityChoice& c) { return c.level == QualityLevel::basic; });
    ASSERT_NE(tallBasic, tall.ladder().end());
    EXPECT_NEAR(tallBasic->scale, 0.65f, 1e-6f);
}

// A fast machine: every choice runs far above 60 a second; the governor climbs to high at full
// size, a rung or two a change, no more than one change a second.
TEST(QualityGovernor, AFastMachineClimbsToTheFullPicture) {
    const Machine fast{{0.8, 1.0, 1.5, 2.0}, {0.3, 0.5, 1.0, 2.0}};
    const Flight run = fly(fast, 120.0);
    EXPECT_EQ(run.final, (QualityChoice{QualityLevel::high, 1.0f}));
    EXPECT_LT(lastChangeTime(run), 40.0);
    for (std::size_t i = 1; i < run.changeTimes.size(); ++i) {
        EXPECT_GE(run.changeTimes[i] - run.changeTimes[i - 1], 1.0);
    }
}

// A slow machine: high is far too slow, basic at the smallest picture the best it can do; the
// governor starts there and stays, changing nothing.
TEST(QualityGovernor, ASlowMachineKeepsTheCheapestChoice) {
    const Machine slow{{12.0, 14.0, 20.0, 30.0}, {20.0, 60.0, 180.0, 420.0}};
    const Flight run = fly(slow, 60.0);
    EXPECT_TRUE(run.changes.empty());
    EXPECT_EQ(run.final, (QualityChoice{QualityLevel::basic, 0.5f}));
}

// Every pass over 1/60 s slows the race, so a choice whose median has room but where one pass
// in five takes 80 % longer is no place to climb from: the governor stays put.
TEST(QualityGovernor, OneSlowPassInFiveKeepsItFromClimbing) {
    const Machine uneven{{9.0, 14.0, 20.0, 30.0}, {13.0, 60.0, 180.0, 420.0}};
    const auto everyFifthSlow = [](int pass) { return pass % 5 == 0 ? 0.8 : 0.0; };
    const Flight run = fly(uneven, 60.0, everyFifthSlow);
    EXPECT_TRUE(run.changes.empty());
    // The same machine without the slow passes climbs.
    EXPECT_FALSE(fly(uneven, 60.0).changes.empty());
}

// A machine in between, with 10 % noise on every pass: the governor settles on a choice that
// holds 60 a second within a bounded time, and then holds it without swinging.
TEST(QualityGovernor, AMiddlingMachineSettlesAndHolds) {
    const Machine middling{{3.0, 4.0, 6.0, 9.0}, {5.0, 10.0, 30.0, 80.0}};
    const auto noise = [](int pass) { return 0.1 * std::sin(pass * 12.9898); };
    const Flight run = fly(middling, 180.0, noise);
    ASSERT_FALSE(run.changes.empty());
    EXPECT_LT(lastChangeTime(run), 60.0);
    const double finalMs = middling.passSeconds(run.final) * 1000.0;
    EXPECT_LE(finalMs, 1000.0 / 60.0 * QualityGovernor::kSlow);
    // No better choice would have held: the one above the final is too slow or never tried.
    const QualityGovernor governor(kHeight);
    const auto& ladder = governor.ladder();
    const auto at = std::find(ladder.begin(), ladder.end(), run.final);
    ASSERT_NE(at, ladder.end());
    if (at != ladder.begin()) {
        EXPECT_GT(middling.passSeconds(*(at - 1)) * 1000.0,
                  1000.0 / 60.0 * QualityGovernor::kHeadroom);
    }
    // Changes came in one climb over the ladder's 23 rungs (basic at the bottom) and a step
    // back or two, then stopped: few of them, none late.
    EXPECT_EQ(governor.ladder().size(), 23u);
    EXPECT_LE(run.changes.size(), 16u);
}

TEST(QualityGovernor, TheSettledLineSaysWhatWasChosen) {
    EXPECT_EQ(qualityLine({QualityLevel::medium, 0.7f}, 640, 480, 58.2),
              "Quality: medium at 70 % (640 x 480 drawn as 448 x 336), 58 frames a second");
    QualityGovernor governor(kHeight);
    double now = 0.0;
    std::optional<double> rate;
    for (int pass = 0; pass < 600 && !rate; ++pass) {
        now += 0.03;
        governor.record(0.03, now);
        rate = governor.settledRate(now);
    }
    ASSERT_TRUE(rate);
    EXPECT_NEAR(*rate, 1.0 / 0.03, 0.01);
    EXPECT_GE(now, QualityGovernor::kSettled);
    EXPECT_FALSE(governor.settledRate(now + 10.0));  // said once
}

}  // namespace
}  // namespace kes
