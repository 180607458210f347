#include "platform/XAudio.hpp"

#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>

#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

namespace kes {
namespace {

// Front left and front right. This OpenAL Soft cannot tell its output's speaker layout, so the
// output counts as stereo, which is also what the silent output renders.
constexpr std::uint32_t kStereoChannelMask = 0x3;
constexpr ALCint kSilentSampleRate = 44100;  // Hz

std::string alcErrorText(ALCdevice* device) {
    const ALCenum error = alcGetError(device);
    const ALCchar* text = alcGetString(device, error);
    return text != nullptr ? text : "Unknown Error";
}

}  // namespace

XAudio::XAudio(float speedOfSound) : XAudio(speedOfSound, nullptr) {}

XAudio::XAudio(float speedOfSound, const char* deviceName) {
    makeXAudio(deviceName);
    try {
        makeMasterVoice();
        makeX3DAudio(speedOfSound);
    } catch (...) {
        release();  // the destructor does not run for a constructor that threw
        throw;
    }
}

XAudio::XAudio(float speedOfSound, Loopback) {
    engine = alcLoopbackOpenDeviceSOFT(nullptr);
    if (engine == nullptr) {
        throw std::runtime_error("kes::XAudio::XAudio - no loopback output: " +
                                 alcErrorText(nullptr));
    }
    m_loopback = true;
    try {
        makeMasterVoice();
        makeX3DAudio(speedOfSound);
    } catch (...) {
        release();
        throw;
    }
}

bool XAudio::renderSamples(std::int16_t* out, int frames) {
    if (!m_loopback || frames < 0) {
        return false;
    }
    alcRenderSamplesSOFT(engine, out, frames);
    return true;
}

bool XAudio::connected() const {
    if (m_silent || m_loopback || engine == nullptr ||
        alcIsExtensionPresent(engine, "ALC_EXT_disconnect") != ALC_TRUE) {
        return true;
    }
    ALCint connectedFlag = ALC_TRUE;
    alcGetIntegerv(engine, ALC_CONNECTED, 1, &connectedFlag);
    return connectedFlag != ALC_FALSE;
}

bool XAudio::reopen() {
    if (m_silent) {
        return false;  // there was no device at start either
    }
    ALCdevice* fresh = m_loopback ? alcLoopbackOpenDeviceSOFT(nullptr) : alcOpenDevice(nullptr);
    if (fresh == nullptr) {
        return false;
    }
    ALCdevice* const oldEngine = std::exchange(engine, fresh);
    ALCcontext* const oldContext = std::exchange(masterVoice, nullptr);
    try {
        makeMasterVoice();
        makeX3DAudio(x3dAudio);
    } catch (const std::runtime_error&) {
        release();
        engine = oldEngine;
        masterVoice = oldContext;
        alcMakeContextCurrent(masterVoice);
        return false;
    }
    alcDestroyContext(oldContext);
    alcCloseDevice(oldEngine);
    return true;
}

XAudio::~XAudio() {
    release();
}

void XAudio::release() {
    if (masterVoice != nullptr) {
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(masterVoice);
        masterVoice = nullptr;
    }
    if (engine != nullptr) {
        alcCloseDevice(engine);
        engine = nullptr;
    }
}

void XAudio::makeXAudio(const char* deviceName) {
    engine = alcOpenDevice(deviceName);
    if (engine != nullptr) {
        return;
    }
    engine = alcLoopbackOpenDeviceSOFT(nullptr);
    if (engine == nullptr) {
        throw std::runtime_error("kes::XAudio::makeXAudio - Failed with " + alcErrorText(nullptr));
    }
    m_silent = true;
    std::cout << "No audio device found, running without sound" << std::endl;
}

void XAudio::makeMasterVoice() {
    // A loopback device renders only when asked, so it must be told the format it renders in.
    const ALCint silentFormat[] = {ALC_FORMAT_CHANNELS_SOFT,
                                   ALC_STEREO_SOFT,
                                   ALC_FORMAT_TYPE_SOFT,
                                   ALC_FLOAT_SOFT,
                                   ALC_FREQUENCY,
                                   kSilentSampleRate,
                                   0};
    const ALCint recordedFormat[] = {ALC_FORMAT_CHANNELS_SOFT,
                                     ALC_STEREO_SOFT,
                                     ALC_FORMAT_TYPE_SOFT,
                                     ALC_SHORT_SOFT,
                                     ALC_FREQUENCY,
                                     kLoopbackRate,
                                     0};
    const ALCint* format = m_loopback ? recordedFormat : (m_silent ? silentFormat : nullptr);
    ALCcontext* context = alcCreateContext(engine, format);
    if (context == nullptr) {
        throw std::runtime_error("kes::XAudio::makeMasterVoice - Failed with " +
                                 alcErrorText(engine));
    }
    if (alcMakeContextCurrent(context) != ALC_TRUE) {
        const std::string reason = alcErrorText(engine);
        alcDestroyContext(context);
        throw std::runtime_error("kes::XAudio::makeMasterVoice - Failed with " + reason);
    }
    channelMask = kStereoChannelMask;
    masterVoice = context;
}

void XAudio::makeX3DAudio(float speedOfSound) {
    alGetError();
    alSpeedOfSound(speedOfSound);
    const ALenum error = alGetError();
    if (error != AL_NO_ERROR) {
        const ALchar* text = alGetString(error);
        throw std::runtime_error(std::string("kes::XAudio::makeX3DAudio - Failed with ") +
                                 (text != nullptr ? text : "Unknown Error"));
    }
    x3dAudio = speedOfSound;
}

}  // namespace kes
