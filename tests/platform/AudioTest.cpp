// The tests run with OpenAL Soft's null driver as the machine's "sound card".
#include "platform/XAudio.hpp"

#include <string>

#include <AL/al.h>
#include <gtest/gtest.h>

namespace kes {
namespace {

TEST(Audio, OpensTheDefaultOutputWithTheSpeedOfSound) {
    testing::internal::CaptureStdout();
    XAudio audio(343.0f);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_FALSE(audio.silent());
    EXPECT_NE(audio.engine, nullptr);
    EXPECT_NE(audio.masterVoice, nullptr);
    EXPECT_EQ(audio.channelMask, 0x3u);
    EXPECT_EQ(alGetFloat(AL_SPEED_OF_SOUND), 343.0f);
}

TEST(Audio, WithoutADeviceRunsSilentlyAndSaysSoOnce) {
    testing::internal::CaptureStdout();
    {
        XAudio audio(343.0f, "no such output device");
        EXPECT_TRUE(audio.silent());
        EXPECT_NE(audio.masterVoice, nullptr);
        EXPECT_EQ(alGetFloat(AL_SPEED_OF_SOUND), 343.0f);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "No audio device found, running without sound\n");
}

TEST(Audio, ANegativeSpeedOfSoundFailsInTheLastStep) {
    try {
        XAudio audio(-1.0f);
        FAIL() << "a negative speed of sound was accepted";
    } catch (const std::runtime_error& failure) {
        const std::string message = failure.what();
        const std::string prefix = "kes::XAudio::makeX3DAudio - Failed with ";
        EXPECT_EQ(message.rfind(prefix, 0), 0u) << message;
        EXPECT_GT(message.size(), prefix.size());
    }
    // Everything opened before the failure was released: the output opens again.
    XAudio again(343.0f);
    EXPECT_NE(again.masterVoice, nullptr);
}

}  // namespace
}  // namespace kes
