// The demo's command line and the arithmetic and files of its profile.
#include "demo/DemoOptions.hpp"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "demo/DemoProfile.hpp"
#include "support/TempFolder.hpp"

namespace kes::demo {
namespace {

std::string failureOf(const std::vector<std::string>& arguments) {
    try {
        parseDemoOptions(arguments);
    } catch (const std::invalid_argument& problem) {
        return problem.what();
    }
    return "accepted";
}

TEST(DemoOptionsTest, DefaultsAndEveryOption) {
    const DemoOptions defaults = parseDemoOptions({});
    EXPECT_EQ(defaults.rounds, 1u);
    EXPECT_FALSE(defaults.width.has_value());
    EXPECT_FALSE(defaults.gpuTiming);
    EXPECT_EQ(defaults.frameLimit, 0u);

    const DemoOptions all =
        parseDemoOptions({"--rounds", "3", "--size", "320x240", "--screenshots", "shots",
                          "--screenshot-every", "0", "--frames", "500", "--gpu-timing", "--quality",
                          "medium", "--render-scale", "0.5", "--course", "seed:7"});
    EXPECT_EQ(all.rounds, 3u);
    EXPECT_EQ(all.width, 320);
    EXPECT_EQ(all.height, 240);
    EXPECT_EQ(all.screenshotFolder, "shots");
    EXPECT_EQ(all.screenshotEvery, 0u);
    EXPECT_EQ(all.frameLimit, 500u);
    EXPECT_TRUE(all.gpuTiming);
    EXPECT_EQ(all.quality, QualitySetting::medium);
    EXPECT_EQ(all.renderScale, 0.5f);
    EXPECT_EQ(all.course, "seed:7");
    EXPECT_FALSE(defaults.quality.has_value());
    EXPECT_EQ(parseDemoOptions({"--quality", "auto"}).quality, QualitySetting::automatic);
    EXPECT_TRUE(parseDemoOptions({"--help"}).help);
    const DemoOptions replay =
        parseDemoOptions({"--replay", "g.ghost", "--speed", "0.25", "--from-ring", "0"});
    EXPECT_EQ(replay.speed, 0.25f);
    EXPECT_EQ(replay.fromRing, 0u);
    EXPECT_EQ(replay.camera, CameraView::chase);
    EXPECT_EQ(parseDemoOptions({"--camera", "trackside"}).camera, CameraView::trackside);
    EXPECT_EQ(parseDemoOptions({"--pace", "60"}).pace, 60.0);
    EXPECT_FALSE(replay.pace.has_value());
    EXPECT_TRUE(parseDemoOptions({"--targets", "--course", "seed:3"}).targets);
    EXPECT_EQ(parseDemoOptions({"--restart-after", "5"}).restartAfter, 5u);
}

TEST(DemoOptionsTest, BadArgumentsAreNamed) {
    EXPECT_EQ(failureOf({"--fly"}), "unknown option \"--fly\"");
    EXPECT_EQ(failureOf({"--rounds"}), "--rounds needs a value");
    EXPECT_EQ(failureOf({"--rounds", "0"}),
              "--rounds expects a whole number of at least 1, not \"0\"");
    EXPECT_EQ(failureOf({"--rounds", "2x"}),
              "--rounds expects a whole number of at least 1, not \"2x\"");
    EXPECT_EQ(failureOf({"--rounds", "-1"}),
              "--rounds expects a whole number of at least 1, not \"-1\"");
    EXPECT_EQ(failureOf({"--size", "640"}), "--size expects WIDTHxHEIGHT, not \"640\"");
    EXPECT_EQ(failureOf({"--size", "8x8"}),
              "--size expects a whole number of at least 16, not \"8\"");
    EXPECT_EQ(failureOf({"--size", "9000x100"}),
              "--size is limited to 8192x8192, not \"9000x100\"");
    EXPECT_EQ(failureOf({"--frames", "0"}),
              "--frames expects a whole number of at least 1, not \"0\"");
    EXPECT_EQ(failureOf({"--quality", "ultra"}),
              "--quality expects auto, basic, low, medium or high, not \"ultra\"");
    for (const char* scale : {"0.2", "1.5", "half", "nan", "0.5x"}) {
        EXPECT_EQ(
            failureOf({"--quality", "low", "--render-scale", scale}),
            std::string("--render-scale expects a number from 0.25 to 1, not \"") + scale + "\"");
    }
    for (const char* speed : {"0.2", "5", "fast", "nan"}) {
        EXPECT_EQ(failureOf({"--speed", speed}),
                  std::string("--speed expects a number from 0.25 to 4, not \"") + speed + "\"");
    }
    for (const char* camera : {"free", "Orbit", ""}) {
        EXPECT_EQ(
            failureOf({"--camera", camera}),
            std::string("--camera expects chase, orbit or trackside, not \"") + camera + "\"");
    }
    EXPECT_EQ(failureOf({"--pace", "5"}),
              "--pace expects a whole number of at least 10, not \"5\"");
    EXPECT_EQ(failureOf({"--pace", "2000"}), "--pace is limited to 1000 passes a second");
    EXPECT_EQ(failureOf({"--from-ring", "3"}),
              "--from-ring starts a replay further in; give --replay");
    EXPECT_EQ(failureOf({"--targets", "--replay", "g.ghost"}),
              "--targets flies the autopilot; leave out --replay");
    EXPECT_EQ(failureOf({"--quality", "auto", "--render-scale", "0.5"}),
              "--render-scale needs a fixed --quality: under auto the game chooses the scale "
              "itself");
}

TEST(DemoProfileTest, SpreadTakesMedianNinetyFifthPercentileAndMaximum) {
    std::vector<double> values;
    for (int i = 100; i >= 1; --i) {
        values.push_back(i);
    }
    const Spread spread = spreadOf(values);
    EXPECT_EQ(spread.median, 50.0);
    EXPECT_EQ(spread.p95, 95.0);
    EXPECT_EQ(spread.maximum, 100.0);
    EXPECT_EQ(spread.count, 100u);
    EXPECT_EQ(spreadOf({}).maximum, 0.0);
    EXPECT_EQ(spreadOf({7.0}).p95, 7.0);
}

TEST(DemoProfileTest, PassesEndWithTheirUpdateAndGoToTheTableAndTheCsv) {
    DemoProfile profile;
    profile.record(LoopPhase::FixedStep, 0.002);
    profile.record(LoopPhase::Render, 0.010);
    profile.record(LoopPhase::Update, 0.001);
    profile.record(LoopPhase::Render, 0.020);  // a pass without a fixed step
    profile.record(LoopPhase::Update, 0.001);
    ASSERT_EQ(profile.passes.size(), 2u);
    EXPECT_DOUBLE_EQ(profile.passes[0].fixedStepMs, 2.0);
    EXPECT_DOUBLE_EQ(profile.passes[1].renderMs, 20.0);
    EXPECT_LT(profile.passes[1].fixedStepMs, 0.0);

    profile.addStartupPhase("renderer and shader compilation", 0.5);
    profile.addRaceLine("Finished round 1 in 80.5 seconds.");
    std::ostringstream table;
    profile.printTable(table, 2.0, false);
    const std::string text = table.str();
    EXPECT_NE(text.find("renderer and shader compilation"), std::string::npos);
    EXPECT_NE(text.find("render call"), std::string::npos);
    EXPECT_NE(text.find("2 passes in 2.00 s: 1.00 frames per second"), std::string::npos);
    EXPECT_NE(text.find("Finished round 1 in 80.5 seconds."), std::string::npos);

    const test::TempFolder folder;
    ASSERT_TRUE(profile.writeCsv(folder.path() / "profile.csv", true));
    std::ifstream csv(folder.path() / "profile.csv");
    std::string header, first, second;
    std::getline(csv, header);
    std::getline(csv, first);
    std::getline(csv, second);
    EXPECT_EQ(header.rfind(
                  "pass,fixed_step_ms,update_ms,render_ms,frame_ms,quality,scale,gpu_shadow_ms", 0),
              0u);
    EXPECT_EQ(first.rfind("0,2,1,10,", 0), 0u) << first;
    EXPECT_EQ(second.rfind("1,,1,20,", 0), 0u) << second;
    EXPECT_FALSE(profile.writeCsv(folder.path() / "missing" / "profile.csv", false));
}

// Frames at two qualities: the time at each, best first, and the shares of slow frames.
TEST(DemoProfileTest, FramesAreSummedByQualityAndCountedAgainstSixtyAndThirty) {
    DemoProfile profile;
    const QualityChoice low{QualityLevel::low, 0.5f};
    const QualityChoice medium{QualityLevel::medium, 0.7f};
    auto pass = [&](double frameSeconds, const QualityChoice& quality) {
        profile.record(LoopPhase::Render, 0.001);
        profile.recordFrame(frameSeconds, quality);
        profile.record(LoopPhase::Update, 0.001);
    };
    pass(-1.0, low);  // the first frame has no time of its own
    for (int i = 0; i < 3; ++i) {
        pass(0.060, low);  // slower than 1/30 s
    }
    for (int i = 0; i < 6; ++i) {
        pass(0.020, medium);  // slower than 1/60 s only
    }
    pass(0.010, medium);
    std::ostringstream out;
    profile.printFrames(out, {640, 480});
    const std::string text = out.str();
    const auto mediumLine = text.find("medium at 70 % (448 x 336): 0.1 s, 7 passes");
    const auto lowLine = text.find("low at 50 % (320 x 240): 0.2 s, 4 passes");
    ASSERT_NE(mediumLine, std::string::npos) << text;
    ASSERT_NE(lowLine, std::string::npos) << text;
    EXPECT_LT(mediumLine, lowLine);
    EXPECT_NE(text.find("median 20.0 ms; slower than 1/60 s: 90.0 %, slower than 1/30 s: 30.0 %"),
              std::string::npos)
        << text;
    // Ten timed frames in 0.31 s.
    EXPECT_NE(text.find("last 10 passes: 32.26 frames per second"), std::string::npos) << text;
}

}  // namespace
}  // namespace kes::demo
