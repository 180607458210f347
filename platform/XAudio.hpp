// The game's audio output on OpenAL Soft: the output device, its playback context and the speed
// of sound for positional sound. Nothing is played yet; the output stands ready for effects.
#pragma once

#include <cstdint>

#include <AL/alc.h>

namespace kes {

class XAudio {
public:
    // Opens the default output. A machine with no sound device at all gets a silent output and
    // one console line, since a game that plays nothing yet must not refuse to start there.
    explicit XAudio(float speedOfSound);
    // Opens the named output device (tests use it to reach the silent fallback).
    XAudio(float speedOfSound, const char* deviceName);
    ~XAudio();
    XAudio(const XAudio&) = delete;
    XAudio& operator=(const XAudio&) = delete;

    bool silent() const { return m_silent; }

    ALCdevice* engine = nullptr;
    std::uint32_t channelMask = 0;
    ALCcontext* masterVoice = nullptr;
    float x3dAudio = 0.0f;  // the speed of sound positional sound is computed with

private:
    void makeXAudio(const char* deviceName);
    void makeMasterVoice();
    void makeX3DAudio(float speedOfSound);
    void release();

    bool m_silent = false;
};

}  // namespace kes
