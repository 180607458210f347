// The sound service heard through a loopback output: what is rendered is exactly what a sound
// card would have played. The sounds are the asset generator's own.
#include "platform/SoundService.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <vector>

#include <AL/al.h>
#include <gtest/gtest.h>

#include "Sounds.hpp"
#include "platform/AudioDeviceWatch.hpp"
#include "platform/XAudio.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

// The generated sounds in a folder of their own.
class SoundTest : public testing::Test {
protected:
    SoundTest() {
        for (const assetgen::Sound& sound : assetgen::makeAllSounds()) {
            assetgen::writeWav(sound, folder.path() / (sound.name + ".wav"));
        }
    }

    // The next `seconds` of the mix, left channel, -1 ... 1.
    std::vector<float> render(double seconds) {
        const int frames = static_cast<int>(seconds * XAudio::kLoopbackRate);
        std::vector<std::int16_t> stereo(static_cast<std::size_t>(frames) * 2);
        output.renderSamples(stereo.data(), frames);
        std::vector<float> left(static_cast<std::size_t>(frames));
        for (std::size_t i = 0; i < left.size(); ++i) {
            left[i] = static_cast<float>(stereo[2 * i]) / 32768.0f;
        }
        return left;
    }

    test::TempFolder folder;
    XAudio output{343.0f, XAudio::Loopback{}};
};

float peakOf(const std::vector<float>& samples) {
    float peak = 0.0f;
    for (const float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    return peak;
}

// The frequency between 20 and 400 Hz with the most energy, to 1 Hz.
float dominantFrequency(const std::vector<float>& samples) {
    float best = 0.0f;
    double bestPower = -1.0;
    for (int hz = 20; hz <= 400; ++hz) {
        const double w = 2.0 * std::numbers::pi * hz / XAudio::kLoopbackRate;
        double re = 0.0;
        double im = 0.0;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            re += samples[i] * std::cos(w * double(i));
            im += samples[i] * std::sin(w * double(i));
        }
        if (re * re + im * im > bestPower) {
            bestPower = re * re + im * im;
            best = static_cast<float>(hz);
        }
    }
    return best;
}

TEST_F(SoundTest, AChimeSoundsWithinMillisecondsOfTheZoneAndDiesAway) {
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    EXPECT_EQ(console.str(), "");
    EXPECT_LT(peakOf(render(0.05)), 1e-4f);  // nothing plays yet: silence
    sounds.play(SoundEffect::zoneChecked);
    EXPECT_GT(peakOf(render(0.005)), 0.02f);  // the first 5 ms already ring
    EXPECT_GT(peakOf(render(0.2)), 0.1f);
    render(1.0);
    EXPECT_LT(peakOf(render(0.1)), 1e-3f);  // and then it is over
    EXPECT_EQ(sounds.played()[0], 1u);
}

TEST_F(SoundTest, TheEnginesPitchRisesWithSpeedAndAgainWithTheBonus) {
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    sounds.startEngine();
    const auto hum = [&](float level, float factor) {
        sounds.setEngine(level, factor);
        render(0.1);  // let the new pitch settle in
        return dominantFrequency(render(0.5));
    };
    const float idle = hum(0.0f, 1.0f);
    const float cruising = hum(30.0f, 1.0f);
    const float onTheLine = hum(30.0f, 6.0f);
    // The loop hums at 55 Hz; the pitch scales it.
    EXPECT_NEAR(idle, 55.0f * engineToneFor(0.0f, 1.0f).pitch, 3.0f);
    EXPECT_GT(cruising, idle * 1.5f);
    EXPECT_GT(onTheLine, cruising * 1.3f);
    EXPECT_GT(engineToneFor(30.0f, 1.0f).gain, engineToneFor(0.0f, 1.0f).gain);
}

TEST_F(SoundTest, AMissingSoundIsReportedOnceAndTheRestPlayOn) {
    std::filesystem::remove(folder.path() / "chime.wav");
    folder.write("hit.wav", "RIFF but not a sound at all");
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    const std::string said = console.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("chime.wav"), std::string::npos) << said;
    EXPECT_NE(said.find("hit.wav"), std::string::npos) << said;
    EXPECT_FALSE(sounds.loaded(SoundEffect::zoneChecked));
    EXPECT_FALSE(sounds.loaded(SoundEffect::asteroidHit));
    sounds.play(SoundEffect::zoneChecked);
    sounds.play(SoundEffect::asteroidHit);
    EXPECT_LT(peakOf(render(0.2)), 1e-4f);
    sounds.play(SoundEffect::wrongZone);
    EXPECT_GT(peakOf(render(0.2)), 0.05f);
    EXPECT_EQ(sounds.played()[0], 1u);
}

// A header's sample rate near the largest int: the minute's sample count is counted in 64 bits
// (the sanitizer build aborted on the int multiply), and the game plays on whatever the output
// makes of the rate.
TEST_F(SoundTest, AHostileSampleRateInAHeaderHarmsNothing) {
    std::string wav = test::readFile(folder.path() / "buzz.wav");
    ASSERT_GT(wav.size(), 32u);
    const std::uint32_t rate = 2147483632u;
    for (int byte = 0; byte < 4; ++byte) {
        wav[std::size_t(24 + byte)] = static_cast<char>((rate >> (8 * byte)) & 0xFF);
        wav[std::size_t(28 + byte)] = static_cast<char>(((rate * 2u) >> (8 * byte)) & 0xFF);
    }
    folder.write("buzz.wav", wav);
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    const std::string said = console.str();
    EXPECT_LE(std::count(said.begin(), said.end(), '\n'), 1) << said;
    if (!sounds.loaded(SoundEffect::wrongZone)) {
        EXPECT_NE(said.find("buzz.wav"), std::string::npos) << said;
    }
    sounds.play(SoundEffect::zoneChecked);
    EXPECT_GT(peakOf(render(0.2)), 0.05f);
}

// A paused game is silent and a resumed one hums on: the engine and a cue held mid-way.
TEST_F(SoundTest, PausingHoldsEverySoundAndResumingPlaysItOn) {
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    sounds.startEngine();
    sounds.setEngine(30.0f, 1.0f);
    sounds.play(SoundEffect::newBest);
    EXPECT_GT(peakOf(render(0.1)), 0.05f);
    sounds.pause(true);
    render(0.02);  // the mixer fades a stopped voice out over a few milliseconds
    EXPECT_LT(peakOf(render(0.3)), 1e-4f);
    sounds.pause(false);
    EXPECT_GT(peakOf(render(0.1)), 0.05f);
    sounds.stopEngine();
}

// Sounds made again on a reopened output play on as they were: the engine running at its
// volume, the cues at theirs; a held engine stays held.
TEST_F(SoundTest, AfterTheOutputIsReopenedTheSoundsPlayOnAsTheyWere) {
    std::ostringstream console;
    SoundService sounds(folder.path(), console);
    sounds.setVolumes(0.5f, 1.0f, 1.0f);
    sounds.startEngine();
    sounds.setEngine(30.0f, 1.0f);
    const float before = peakOf(render(0.2));
    ASSERT_GT(before, 0.02f);
    sounds.unload();
    ASSERT_TRUE(output.reopen());
    sounds.reload();
    sounds.setEngine(30.0f, 1.0f);
    EXPECT_NEAR(peakOf(render(0.2)), before, 0.25f * before);
    sounds.play(SoundEffect::zoneChecked);
    EXPECT_GT(peakOf(render(0.1)), before);
    sounds.pause(true);
    sounds.unload();
    ASSERT_TRUE(output.reopen());
    sounds.reload();
    EXPECT_LT(peakOf(render(0.2)), 1e-4f);
    sounds.pause(false);
    EXPECT_GT(peakOf(render(0.2)), 0.02f);
    EXPECT_EQ(console.str(), "");
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

// A lost device is told once, and only once it is lost; from the next check on another is
// opened until one is there, which is told once too.
TEST(AudioDeviceWatch, SaysOnceThatTheDeviceWentAwayAndOnceThatOneCameBack) {
    bool plugged = true;
    int reopened = 0;
    bool reopens = false;
    std::ostringstream console;
    AudioDeviceWatch watch([&plugged] { return plugged; },
                           [&] {
                               ++reopened;
                               return reopens;
                           },
                           console);
    watch.check();
    EXPECT_EQ(console.str(), "");
    plugged = false;
    watch.check();
    EXPECT_EQ(reopened, 0);
    watch.check();
    watch.check();
    EXPECT_EQ(reopened, 2);
    EXPECT_TRUE(watch.lost());
    EXPECT_EQ(console.str(), "The audio device was disconnected; playing on without sound\n");
    reopens = true;
    plugged = true;
    watch.check();
    watch.check();
    EXPECT_FALSE(watch.lost());
    EXPECT_EQ(reopened, 3);
    EXPECT_EQ(console.str(),
              "The audio device was disconnected; playing on without sound\n"
              "An audio device is there again; the sound plays on it\n");
}

}  // namespace
}  // namespace kes
