#include "app/FixedStepLoop.hpp"

#include <cmath>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/FrameTimer.hpp"

namespace kes {
namespace {

// A performance counter that advances by a chosen number of nanoseconds each pass.
struct ScriptedCounter {
    std::int64_t now = 1'000'000'000;
};

// Records what the loop asked for and closes after a given number of passes.
class RecordingHost final : public LoopHost {
public:
    RecordingHost(ScriptedCounter& counter, std::vector<double> passSeconds)
        : m_counter(counter), m_passSeconds(std::move(passSeconds)) {}

    bool closeRequested() override { return passes >= m_passSeconds.size(); }
    void fixedStep(float time) override {
        stepPasses.push_back(passes);
        stepTimes.push_back(time);
    }
    void updateCamera(float frameDt, float /*time*/) override { cameraDts.push_back(frameDt); }
    void renderLayers(float /*frameDt*/, float /*time*/) override { calls += "r"; }
    void presentFrame() override { calls += "p"; }
    void pollInput() override { calls += "i"; }
    void updateLayers(float frameDt, float time, float alpha) override {
        calls += "u";
        frameDts.push_back(frameDt);
        times.push_back(time);
        alphas.push_back(alpha);
        // The pass "takes" its scripted time; the loop's tick measures it next. Rounding up
        // keeps 1/120 s exactly half of the single-precision fixed step.
        m_counter.now += static_cast<std::int64_t>(std::ceil(m_passSeconds[passes] * 1e9));
        ++passes;
    }
    void showPassesPerSecond(std::uint32_t count) override { titles.push_back(count); }
    bool simulationPaused() override { return pausedPasses.contains(passes); }
    float simulationSpeed() override { return speed; }
    double shortestPass() override { return shortest; }
    // The wait comes after the pass's update: it belongs to the pass just counted.
    void waitForEvents(double seconds) override {
        waits.push_back(seconds);
        m_counter.now += static_cast<std::int64_t>(std::ceil(seconds * 1e9));
    }

    std::size_t passes = 0;
    std::string calls;
    std::vector<std::size_t> stepPasses;  // the pass in which each fixed step happened
    std::vector<float> cameraDts, frameDts, times, alphas, stepTimes;
    std::vector<std::uint32_t> titles;
    std::set<std::size_t> pausedPasses;
    std::vector<double> waits;
    float speed = 1.0f;
    double shortest = 0.0;

private:
    ScriptedCounter& m_counter;
    std::vector<double> m_passSeconds;
};

struct LoopRun {
    explicit LoopRun(std::vector<double> passSeconds, std::set<std::size_t> paused = {},
                     float speed = 1.0f)
        : timer([this] { return counter.now; }), host(counter, std::move(passSeconds)) {
        host.pausedPasses = std::move(paused);
        host.speed = speed;
        runMainLoop(host, timer, console);
    }
    ScriptedCounter counter;
    FrameTimer timer;
    RecordingHost host;
    std::ostringstream console;
};

TEST(FixedStepLoop, TheFirstPassHasNoTimeYetStillTakesOneStep) {
    LoopRun run({0.001});
    ASSERT_EQ(run.host.passes, 1u);
    EXPECT_EQ(run.host.frameDts[0], 0.0f);
    EXPECT_EQ(run.host.times[0], 0.0f);
    EXPECT_EQ(run.host.stepPasses, std::vector<std::size_t>{0});
    EXPECT_EQ(run.host.alphas[0], 0.0f);
    EXPECT_EQ(run.host.calls, "rpiu");
}

TEST(FixedStepLoop, ASlowPassIsCutToAThirtiethAndReportedOnce) {
    LoopRun run({0.2, 0.001, 0.001});
    ASSERT_EQ(run.host.passes, 3u);
    EXPECT_EQ(run.host.frameDts[1], kMaxFrameTime);
    EXPECT_EQ(run.host.cameraDts[1], kMaxFrameTime);
    EXPECT_NEAR(run.host.times[1], 0.2f, 1e-6f);  // time itself is not cut
    EXPECT_EQ(run.console.str(), "DT is too large :(\n");
}

TEST(FixedStepLoop, At120PassesASecondEverySecondPassSteps) {
    LoopRun run(std::vector<double>(240, 1.0 / 120.0));
    // About 120 steps in two seconds of passes.
    EXPECT_NEAR(static_cast<double>(run.host.stepPasses.size()), 120.0, 2.0);
    for (std::size_t pass = 10; pass < 20; ++pass) {
        const float expected = (pass % 2 == 0) ? 0.5f : 0.0f;
        EXPECT_NEAR(run.host.alphas[pass], expected, 0.01f) << "pass " << pass;
    }
    ASSERT_FALSE(run.host.titles.empty());
    EXPECT_NEAR(static_cast<double>(run.host.titles[0]), 121.0, 1.5);
}

TEST(FixedStepLoop, At20PassesASecondEveryPassTakesExactlyOneStep) {
    LoopRun run(std::vector<double>(40, 1.0 / 20.0));
    // The first pass measured no time, so the second has nothing to step; from then on the
    // simulation advances one step, 1/60 s, per pass: slower than real time.
    std::vector<std::size_t> expected{0};
    for (std::size_t pass = 2; pass < 40; ++pass) {
        expected.push_back(pass);
        EXPECT_EQ(run.host.frameDts[pass], kMaxFrameTime);
    }
    EXPECT_EQ(run.host.stepPasses, expected);
    ASSERT_FALSE(run.host.titles.empty());
    EXPECT_NEAR(static_cast<double>(run.host.titles[0]), 20.0, 1.0);
    EXPECT_EQ(run.console.str().size(), std::string("DT is too large :(\n").size() * 39);
}

// A replay watched four times as fast takes four steps a pass at 60 passes a second; a slow pass
// takes five at most (four, and one for what single precision left over); a quarter as fast, a
// step every fourth pass. The clock still counts steps.
TEST(FixedStepLoop, ASpedUpOrSlowedSimulationTakesAsManyStepsAsItsTimeGathers) {
    // The first pass measures no time and steps once; a pass steps what the passes before it
    // gathered, so 59 passes' time is stepped: 1 + 59 x 4.
    LoopRun fast(std::vector<double>(61, 1.0 / 60.0), {}, 4.0f);
    EXPECT_NEAR(static_cast<double>(fast.host.stepTimes.size()), 237.0, 1.0);
    EXPECT_FLOAT_EQ(fast.host.stepTimes.back(),
                    float(double(fast.host.stepTimes.size() - 1) / 60.0));
    LoopRun slowPasses(std::vector<double>(11, 0.5), {}, 4.0f);
    EXPECT_EQ(slowPasses.host.stepTimes.size(), 1u + 9u * 5u);
    LoopRun slow(std::vector<double>(241, 1.0 / 60.0), {}, 0.25f);
    EXPECT_NEAR(static_cast<double>(slow.host.stepTimes.size()), 61.0, 2.0);
    LoopRun beyond(std::vector<double>(61, 1.0 / 60.0), {}, 40.0f);  // held to 4
    EXPECT_NEAR(static_cast<double>(beyond.host.stepTimes.size()), 237.0, 1.0);
}

// On a machine too slow for the fixed rate the simulation's clock counts steps, not seconds:
// 39 steps are 39/60 s of flight however long the passes took.
TEST(FixedStepLoop, TheSimulationClockCountsStepsWhateverThePassesTake) {
    LoopRun run(std::vector<double>(40, 0.3));
    ASSERT_EQ(run.host.stepTimes.size(), 39u);
    for (std::size_t step = 0; step < run.host.stepTimes.size(); ++step) {
        EXPECT_FLOAT_EQ(run.host.stepTimes[step], float(double(step) / 60.0)) << "step " << step;
    }
    EXPECT_NEAR(run.host.times.back(), 39 * 0.3, 1e-3);  // the passes' own time is real time
}

// While paused the passes go on (frames are drawn) but the simulation takes no step and
// gathers no time for later: it resumes exactly where it stood.
TEST(FixedStepLoop, APausedSimulationTakesNoStepsAndCatchesNothingUpAfterwards) {
    std::set<std::size_t> paused;
    for (std::size_t pass = 10; pass < 30; ++pass) {
        paused.insert(pass);
    }
    LoopRun run(std::vector<double>(40, 1.0 / 20.0), paused);
    EXPECT_EQ(run.host.calls.size(), 40u * 4u);  // every pass rendered, presented, polled
    for (const std::size_t pass : run.host.stepPasses) {
        EXPECT_TRUE(pass < 10 || pass >= 30) << "a step in paused pass " << pass;
    }
    // One step in each pass but the first measured one and the paused ones.
    ASSERT_EQ(run.host.stepPasses.size(), 1u + 8u + 10u);
    for (std::size_t step = 0; step < run.host.stepTimes.size(); ++step) {
        EXPECT_FLOAT_EQ(run.host.stepTimes[step], float(double(step) / 60.0));
    }
}

// A paused game on a fast machine sleeps out the rest of a thirtieth of a second each pass
// instead of drawing the same picture as fast as it can, says nothing about those slow passes,
// and draws the scene no further than its last step.
TEST(FixedStepLoop, APausedGameRunsAtMostThirtyPassesASecond) {
    std::set<std::size_t> paused;
    for (std::size_t pass = 5; pass < 95; ++pass) {
        paused.insert(pass);
    }
    // 45 passes a second leave more than a step in the accumulator when the pause begins.
    LoopRun run(std::vector<double>(100, 1.0 / 45.0), paused);
    // The host answers for the coming pass once a pass has updated, so the waits end passes
    // 4 to 93, each before a paused pass: 90 of them.
    ASSERT_EQ(run.host.waits.size(), 90u);
    for (const double wait : run.host.waits) {
        EXPECT_NEAR(wait, kPausedPassTime - 1.0 / 45.0, 1e-6);
    }
    ASSERT_GE(run.host.titles.size(), 2u);
    EXPECT_LE(run.host.titles[1], 30u);  // the second second is paused throughout
    EXPECT_EQ(run.console.str(), "");
    for (std::size_t pass = 0; pass < run.host.alphas.size(); ++pass) {
        EXPECT_GE(run.host.alphas[pass], 0.0f) << "pass " << pass;
        EXPECT_LE(run.host.alphas[pass], 1.0f) << "pass " << pass;
    }
}

// Paced at 60 passes a second, passes quicker than that wait out the rest, so each takes one
// step at speed 1 and four at speed 4 however fast the frames come.
TEST(FixedStepLoop, APacedLoopTakesAsManyStepsAPassWhateverTheFrameRate) {
    for (const float speed : {1.0f, 4.0f}) {
        ScriptedCounter counter;
        FrameTimer timer([&counter] { return counter.now; });
        RecordingHost host(counter, std::vector<double>(120, 1.0 / 300.0));
        host.speed = speed;
        host.shortest = 1.0 / 60.0;
        std::ostringstream console;
        runMainLoop(host, timer, console);
        EXPECT_EQ(host.waits.size(), 120u);
        // After the first pass (which takes its one step with no time yet gathered).
        const auto steps = static_cast<double>(host.stepPasses.size());
        EXPECT_NEAR(steps, 1.0 + 119.0 * double(speed), 6.0) << speed;  // unpaced: 1 + 95
    }
}

// The title reports passes per second of real time: 0.3 s passes make 3 a second, not the 30
// that the limited frame time would count.
TEST(FixedStepLoop, TheTitleCountsPassesPerSecondOfRealTime) {
    LoopRun run(std::vector<double>(40, 0.3));
    ASSERT_FALSE(run.host.titles.empty());
    for (const std::uint32_t title : run.host.titles) {
        EXPECT_GE(title, 3u);
        EXPECT_LE(title, 4u);
    }
}

TEST(FixedStepLoop, AWindowClosedBeforeTheFirstPassCallsNothing) {
    LoopRun run({});
    EXPECT_EQ(run.host.calls, "");
    EXPECT_TRUE(run.host.stepPasses.empty());
    EXPECT_TRUE(run.host.cameraDts.empty());
}

TEST(FixedStepClock, NegativeTimeCountsAsNoTimeAndTheAccumulatorIsLimited) {
    FixedStepClock clock;
    const PassTimes pass = clock.beginPass(-0.5, 3.0);
    EXPECT_EQ(pass.frameDt, 0.0f);
    EXPECT_FALSE(pass.tooLarge);
    EXPECT_TRUE(clock.takeFixedStep());
    clock.accumulate(10.0f);
    clock.beginPass(0.0, 3.0);  // the accumulator is cut to a thirtieth here
    EXPECT_TRUE(clock.takeFixedStep());
    EXPECT_TRUE(clock.takeFixedStep());
    EXPECT_FALSE(clock.takeFixedStep());
}

TEST(FrameTimer, MeasuresBetweenTicksOnlyWhileRunning) {
    std::int64_t now = 0;
    FrameTimer timer([&now] { return now; });
    now = 5'000'000;
    timer.tick();  // not running yet
    EXPECT_EQ(timer.duration(), 0.0);
    timer.reset();
    now += 250'000'000;
    timer.tick();
    EXPECT_DOUBLE_EQ(timer.duration(), 0.25);
    now += 500'000'000;
    timer.tick();
    EXPECT_DOUBLE_EQ(timer.elapsed(), 0.75);
    timer.stop();
    now += 1'000'000'000;
    timer.tick();
    EXPECT_DOUBLE_EQ(timer.elapsed(), 0.75);
}

}  // namespace
}  // namespace kes
