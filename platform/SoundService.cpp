#include "platform/SoundService.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <AL/al.h>
#include <sndfile.h>

namespace kes {
namespace {

constexpr const char* kEngineName = "engine";
constexpr float kTopSpeedLevel = 30.0f;  // the accelerator's highest level
constexpr float kEffectGain = 1.0f;      // the cues stand above the engine

// A buffer of the current context holding the mono 16-bit sound at `path`; 0 and `problem`
// set when it cannot be made.
ALuint loadBuffer(const std::filesystem::path& path, std::string& problem) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr) {
        problem = sf_strerror(nullptr);
        return 0;
    }
    std::vector<short> samples;
    // The rate comes from the file's header: a hostile one near INT_MAX must not overflow the
    // minute's sample count, so it is counted in 64 bits.
    const std::int64_t minute = std::int64_t{60} * info.samplerate;
    if (info.channels != 1 || info.samplerate <= 0 || info.frames <= 0 || info.frames > minute) {
        problem = "not a mono sound of up to a minute";
    } else {
        samples.resize(static_cast<std::size_t>(info.frames));
        if (sf_readf_short(file, samples.data(), info.frames) != info.frames) {
            problem = "cut short";
        }
    }
    sf_close(file);
    if (!problem.empty()) {
        return 0;
    }
    ALuint buffer = 0;
    alGetError();
    alGenBuffers(1, &buffer);
    alBufferData(buffer, AL_FORMAT_MONO16, samples.data(),
                 static_cast<ALsizei>(samples.size() * sizeof(short)), info.samplerate);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        problem = "the audio output refused it";
        return 0;
    }
    return buffer;
}

ALuint loadSound(const std::filesystem::path& folder, const char* name, std::ostream& console) {
    const std::filesystem::path path = folder / (std::string(name) + ".wav");
    std::string problem;
    const ALuint buffer = loadBuffer(path, problem);
    if (buffer == 0) {
        console << "Couldn't load the sound " << path.string() << " (" << problem
                << "); playing on without it" << std::endl;
    }
    return buffer;
}

}  // namespace

const char* soundEffectName(SoundEffect effect) {
    switch (effect) {
        case SoundEffect::zoneChecked: return "chime";
        case SoundEffect::wrongZone: return "buzz";
        case SoundEffect::asteroidHit: return "hit";
        case SoundEffect::roundFinished: return "sting";
        case SoundEffect::newBest: return "fanfare";
        case SoundEffect::countdown: return "beep";
        case SoundEffect::go: return "go";
        case SoundEffect::kCount: break;
    }
    return "none";
}

EngineTone engineToneFor(float speedLevel, float speedFactor) {
    const float throttle = std::clamp(std::fabs(speedLevel) / kTopSpeedLevel, 0.0f, 1.0f);
    const float bonus = std::clamp(speedFactor, 1.0f, 6.0f) - 1.0f;
    return {0.75f + throttle * (0.65f + 0.12f * bonus), 0.25f + 0.4f * throttle};
}

SoundService::SoundService(const std::filesystem::path& folder, std::ostream& console)
    : m_folder(folder) {
    load(console);
}

void SoundService::load(std::ostream& console) {
    try {
        for (std::size_t i = 0; i < kSoundEffectCount; ++i) {
            m_effects[i] =
                loadSound(m_folder, soundEffectName(static_cast<SoundEffect>(i)), console);
        }
        m_engineBuffer = loadSound(m_folder, kEngineName, console);
        alGenSources(1, &m_engineSource);
        alGenSources(static_cast<ALsizei>(m_voices.size()), m_voices.data());
        if (m_engineBuffer != 0) {
            alSourcei(m_engineSource, AL_BUFFER, static_cast<ALint>(m_engineBuffer));
            alSourcei(m_engineSource, AL_LOOPING, AL_TRUE);
        }
        // Heard as the player's own: no position, no fall-off.
        for (const ALuint source : m_voices) {
            alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
            alSourcef(source, AL_GAIN, kEffectGain);
        }
        alSourcei(m_engineSource, AL_SOURCE_RELATIVE, AL_TRUE);
        setEngine(0.0f, 1.0f);
    } catch (...) {
        release();
        throw;
    }
}

SoundService::~SoundService() {
    release();
}

void SoundService::unload() noexcept {
    release();
}

// A missing sound was said at start: the reload says nothing again.
void SoundService::reload() {
    std::ostringstream unsaid;
    load(unsaid);
    setVolumes(m_masterVolume, m_engineVolume, m_effectsVolume);
    if (m_engineRunning) {
        startEngine();
        if (m_held) {
            alSourcePause(m_engineSource);
        }
    }
}

void SoundService::release() noexcept {
    const auto drop = [](ALuint& source) {
        if (source != 0) {
            alSourceStop(source);
            alDeleteSources(1, &source);
            source = 0;
        }
    };
    drop(m_engineSource);
    for (ALuint& voice : m_voices) {
        drop(voice);
    }
    for (ALuint& buffer : m_effects) {
        if (buffer != 0) {
            alDeleteBuffers(1, &buffer);
            buffer = 0;
        }
    }
    if (m_engineBuffer != 0) {
        alDeleteBuffers(1, &m_engineBuffer);
        m_engineBuffer = 0;
    }
}

// The voices take turns: a new cue cuts off the oldest one.
void SoundService::play(SoundEffect effect) {
    ++m_played[index(effect)];
    const ALuint buffer = m_effects[index(effect)];
    if (buffer == 0) {
        return;
    }
    const ALuint voice = m_voices[m_nextVoice];
    m_nextVoice = (m_nextVoice + 1) % m_voices.size();
    alSourceStop(voice);
    alSourcei(voice, AL_BUFFER, static_cast<ALint>(buffer));
    alSourcePlay(voice);
}

void SoundService::startEngine() {
    m_engineRunning = true;
    if (m_engineBuffer != 0) {
        alSourcePlay(m_engineSource);
    }
}

void SoundService::stopEngine() {
    m_engineRunning = false;
    alSourceStop(m_engineSource);
}

void SoundService::pause(bool hold) {
    m_held = hold;
    const auto each = [hold](ALuint source) {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (hold && state == AL_PLAYING) {
            alSourcePause(source);
        } else if (!hold && state == AL_PAUSED) {
            alSourcePlay(source);
        }
    };
    each(m_engineSource);
    for (const ALuint voice : m_voices) {
        each(voice);
    }
}

void SoundService::setEngine(float speedLevel, float speedFactor) {
    const EngineTone tone = engineToneFor(speedLevel, speedFactor);
    alSourcef(m_engineSource, AL_PITCH, tone.pitch);
    alSourcef(m_engineSource, AL_GAIN, tone.gain * m_engineVolume);
}

void SoundService::setVolumes(float master, float engine, float effects) {
    m_masterVolume = std::clamp(master, 0.0f, 1.0f);
    alListenerf(AL_GAIN, m_masterVolume);
    m_engineVolume = std::clamp(engine, 0.0f, 1.0f);
    m_effectsVolume = std::clamp(effects, 0.0f, 1.0f);
    for (const ALuint voice : m_voices) {
        alSourcef(voice, AL_GAIN, kEffectGain * m_effectsVolume);
    }
}

}  // namespace kes
