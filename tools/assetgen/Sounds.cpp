#include "Sounds.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

#include <sndfile.h>

namespace assetgen {
namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;
// Every sound has this loudness (about -18 dBFS), none peaks above kPeak.
constexpr float kTargetRms = 0.125f;
constexpr float kPeak = 0.89f;

std::vector<float> silence(float seconds) {
    return std::vector<float>(static_cast<std::size_t>(seconds * kSoundRate), 0.0f);
}

float timeOf(std::size_t sample) {
    return static_cast<float>(sample) / static_cast<float>(kSoundRate);
}

// A tone with a few harmonics of falling strength added into `out` from `start` seconds, with a
// short attack and an exponential decay.
void addTone(std::vector<float>& out, float start, float frequency, float seconds, float decay,
             float level, int harmonics = 3) {
    const auto first = static_cast<std::size_t>(start * kSoundRate);
    const auto count = static_cast<std::size_t>(seconds * kSoundRate);
    constexpr float kAttack = 0.006f;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const float t = timeOf(i);
        const float release = std::min(1.0f, (seconds - t) / 0.02f);  // no click at the end
        const float envelope = std::min(1.0f, t / kAttack) * std::exp(-t / decay) * release;
        float value = 0.0f;
        for (int h = 1; h <= harmonics; ++h) {
            value += std::sin(kTwoPi * frequency * static_cast<float>(h) * t) /
                     static_cast<float>(h * h);
        }
        out[first + i] += level * envelope * value;
    }
}

// A fixed sequence of pseudo-random numbers in -1 ... 1.
class Noise {
public:
    float next() {
        m_state = m_state * 1664525u + 1013904223u;
        return static_cast<float>(m_state >> 8) / static_cast<float>(1u << 23) - 1.0f;
    }

private:
    std::uint32_t m_state = 0x5eed1234u;
};

Sound normalised(std::string name, std::vector<float> samples) {
    const float rms = rmsOf(samples);
    float gain = rms > 0.0f ? kTargetRms / rms : 1.0f;
    float peak = 0.0f;
    for (const float s : samples) {
        peak = std::max(peak, std::fabs(s));
    }
    gain = std::min(gain, kPeak / std::max(peak, 1e-6f));
    for (float& s : samples) {
        s *= gain;
    }
    return {std::move(name), std::move(samples)};
}

}  // namespace

float rmsOf(const std::vector<float>& samples) {
    double sum = 0.0;
    for (const float s : samples) {
        sum += double(s) * s;
    }
    return samples.empty() ? 0.0f : static_cast<float>(std::sqrt(sum / double(samples.size())));
}

// A low hum at 55 Hz with its harmonics, a throb at 6 Hz and a breath of noise made of
// whole-cycle partials: everything repeats exactly after one second.
Sound makeEngineLoop() {
    std::vector<float> out = silence(1.0f);
    Noise noise;
    std::vector<float> phases(40);
    for (float& phase : phases) {
        phase = (noise.next() + 1.0f) * std::numbers::pi_v<float>;
    }
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = timeOf(i);
        float hum = 0.0f;
        for (int h = 1; h <= 6; ++h) {
            hum += std::sin(kTwoPi * 55.0f * static_cast<float>(h) * t + 0.7f * float(h)) /
                   static_cast<float>(h);
        }
        float breath = 0.0f;
        for (std::size_t k = 0; k < phases.size(); ++k) {
            breath += std::sin(kTwoPi * static_cast<float>(300 + 37 * k) * t + phases[k]);
        }
        const float throb = 0.85f + 0.15f * std::sin(kTwoPi * 6.0f * t);
        out[i] = throb * hum + 0.02f * breath;
    }
    return normalised("engine", std::move(out));
}

// Two bell-like partials a fifth apart, ringing out.
Sound makeZoneChime() {
    std::vector<float> out = silence(0.7f);
    addTone(out, 0.0f, 880.0f, 0.7f, 0.22f, 1.0f, 2);
    addTone(out, 0.0f, 1320.0f, 0.7f, 0.15f, 0.6f, 1);
    return normalised("chime", std::move(out));
}

// A low, rough tone twice: "not this one".
Sound makeWrongZoneBuzz() {
    std::vector<float> out = silence(0.4f);
    addTone(out, 0.0f, 110.0f, 0.16f, 0.5f, 1.0f, 7);
    addTone(out, 0.2f, 104.0f, 0.18f, 0.5f, 1.0f, 7);
    return normalised("buzz", std::move(out));
}

// A thump and a burst of softened noise dying away.
Sound makeAsteroidHit() {
    std::vector<float> out = silence(0.6f);
    Noise noise;
    float smooth = 0.0f;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const float t = timeOf(i);
        smooth += 0.12f * (noise.next() - smooth);  // one-pole low-pass
        const float attack = std::min(1.0f, t / 0.003f);
        out[i] = attack * (std::exp(-t / 0.12f) * smooth * 2.5f +
                           std::exp(-t / 0.08f) * std::sin(kTwoPi * 62.0f * t));
    }
    return normalised("hit", std::move(out));
}

// Three rising notes of a major chord.
Sound makeRoundSting() {
    std::vector<float> out = silence(0.9f);
    const float notes[] = {523.25f, 659.25f, 783.99f};
    for (int n = 0; n < 3; ++n) {
        addTone(out, 0.12f * float(n), notes[n], 0.9f - 0.12f * float(n), 0.25f, 1.0f);
    }
    return normalised("sting", std::move(out));
}

// The chord climbing to the octave and held.
Sound makeNewBestFanfare() {
    std::vector<float> out = silence(1.6f);
    const float notes[] = {523.25f, 659.25f, 783.99f, 1046.5f};
    for (int n = 0; n < 4; ++n) {
        const float start = 0.13f * float(n);
        addTone(out, start, notes[n], 1.6f - start, n == 3 ? 0.6f : 0.35f, 1.0f, 4);
    }
    addTone(out, 0.39f, 523.25f, 1.2f, 0.6f, 0.5f, 4);
    return normalised("fanfare", std::move(out));
}

Sound makeCountdownBeep() {
    std::vector<float> out = silence(0.25f);
    addTone(out, 0.0f, 660.0f, 0.22f, 0.4f, 1.0f, 2);
    return normalised("beep", std::move(out));
}

Sound makeCountdownGo() {
    std::vector<float> out = silence(0.6f);
    addTone(out, 0.0f, 1320.0f, 0.55f, 0.35f, 1.0f, 2);
    return normalised("go", std::move(out));
}

std::vector<Sound> makeAllSounds() {
    std::vector<Sound> sounds;
    sounds.push_back(makeEngineLoop());
    sounds.push_back(makeZoneChime());
    sounds.push_back(makeWrongZoneBuzz());
    sounds.push_back(makeAsteroidHit());
    sounds.push_back(makeRoundSting());
    sounds.push_back(makeNewBestFanfare());
    sounds.push_back(makeCountdownBeep());
    sounds.push_back(makeCountdownGo());
    return sounds;
}

bool writeWav(const Sound& sound, const std::filesystem::path& path) {
    SF_INFO info{};
    info.samplerate = kSoundRate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    std::vector<short> pcm(sound.samples.size());
    std::transform(sound.samples.begin(), sound.samples.end(), pcm.begin(), [](float s) {
        return static_cast<short>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
    });
    const auto frames = static_cast<sf_count_t>(pcm.size());
    const bool written = sf_write_short(file, pcm.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

}  // namespace assetgen
