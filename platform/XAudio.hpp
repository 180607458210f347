// The game's audio output on OpenAL Soft: the output device, its playback context and the speed
// of sound for positional sound. The sound service plays through it. A tool that wants to keep
// what was played asks for a loopback output instead, which renders only when told to.
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
    // A loopback output rendering 16-bit stereo at kLoopbackRate, for recording the game's mix.
    struct Loopback {};
    XAudio(float speedOfSound, Loopback);

    static constexpr int kLoopbackRate = 44100;  // frames a second

    bool loopback() const { return m_loopback; }
    // Renders the next `frames` frames of the mix as interleaved left/right samples into
    // `out`; only a loopback output can. False when it cannot.
    bool renderSamples(std::int16_t* out, int frames);
    ~XAudio();
    XAudio(const XAudio&) = delete;
    XAudio& operator=(const XAudio&) = delete;

    bool silent() const { return m_silent; }
    // Whether the output device is still there (a headset can be unplugged). Always true for
    // the silent and loopback outputs and for a driver that cannot tell.
    bool connected() const;
    // Opens an output of the same kind again (the default device, or a new loopback) and makes
    // it current, the old one closed: after a lost device, to play on one that came back.
    // False, with the old output kept, when none opens. Sources and buffers belong to the old
    // output: whoever has them releases them before and makes them again after.
    bool reopen();

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
    bool m_loopback = false;
};

}  // namespace kes
