// The game's sounds, synthesised: an engine loop and five event cues, mono 16-bit at 44.1 kHz,
// each normalised to the same loudness. Deterministic, like every generated asset.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kSoundRate = 44100;  // samples a second

struct Sound {
    std::string name;            // the file's name without ".wav"
    std::vector<float> samples;  // -1 ... 1
};

// A one-second loop whose every partial completes whole cycles, so it repeats without a click.
Sound makeEngineLoop();
Sound makeZoneChime();
Sound makeWrongZoneBuzz();
Sound makeAsteroidHit();
Sound makeRoundSting();
Sound makeNewBestFanfare();
// The countdown before the start: a short tone for each of 3, 2, 1, and a higher one at GO.
Sound makeCountdownBeep();
Sound makeCountdownGo();

std::vector<Sound> makeAllSounds();

// Root mean square of the samples.
float rmsOf(const std::vector<float>& samples);

// Writes a mono 16-bit PCM WAV file; false when it cannot.
bool writeWav(const Sound& sound, const std::filesystem::path& path);

}  // namespace assetgen
