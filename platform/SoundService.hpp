// What the player hears: the engine, looping for the whole race with a pitch and volume that
// follow the ship, and a cue for each decision of the race. The sounds are loaded once at start
// into OpenAL buffers; a few sources play them. Nothing is allocated while the game runs.
// A sound file that is missing or unreadable is reported in one line and the game plays on
// without that sound.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <iosfwd>

namespace kes {

enum class SoundEffect : std::uint8_t {
    zoneChecked,    // a chime
    wrongZone,      // a buzz
    asteroidHit,    // a thump of rock
    roundFinished,  // a short sting
    newBest,        // a fanfare, instead of the sting
    countdown,      // a beep for each of 3, 2, 1 before the start
    go,             // a higher beep at GO
    kCount
};
inline constexpr std::size_t kSoundEffectCount = static_cast<std::size_t>(SoundEffect::kCount);

const char* soundEffectName(SoundEffect effect);

// The engine's pitch and volume for the ship's net speed level (units a second before the
// bonus, negative when flying backwards) and its speed bonus (1 ... 6): both rise with the
// throttle, and the bonus lifts the pitch further, so flying near the centre line is heard.
struct EngineTone {
    float pitch;
    float gain;
};
EngineTone engineToneFor(float speedLevel, float speedFactor);

class SoundService {
public:
    static constexpr std::size_t kEffectVoices = 4;  // cues that can sound at once

    // Loads "<name>.wav" for the engine and every effect from `folder` into buffers of the
    // current OpenAL context.
    SoundService(const std::filesystem::path& folder, std::ostream& console);
    ~SoundService();
    SoundService(const SoundService&) = delete;
    SoundService& operator=(const SoundService&) = delete;

    void play(SoundEffect effect);
    void startEngine();
    void stopEngine();
    void setEngine(float speedLevel, float speedFactor);
    // Holds every sound where it is, or lets the held ones play on.
    void pause(bool hold);
    // Loudness from 0 (silent) to 1 (as made): of everything, of the engine, of the cues. Heard
    // at once, also by sounds already playing.
    void setVolumes(float master, float engine, float effects);
    // Lets go of every source and buffer (before the output is reopened) and makes them again
    // on the output now current, loaded from the same folder, with the volumes, the engine and
    // the pause as they were.
    void unload() noexcept;
    void reload();

    bool loaded(SoundEffect effect) const { return m_effects[index(effect)] != 0; }
    bool engineLoaded() const { return m_engineBuffer != 0; }
    // How often each effect was asked for since start (also those without a sound).
    const std::array<std::uint32_t, kSoundEffectCount>& played() const { return m_played; }

private:
    static std::size_t index(SoundEffect effect) { return static_cast<std::size_t>(effect); }
    void load(std::ostream& console);
    void release() noexcept;

    std::filesystem::path m_folder;
    std::array<std::uint32_t, kSoundEffectCount> m_effects{};  // buffers; 0 for none
    std::uint32_t m_engineBuffer = 0;
    std::uint32_t m_engineSource = 0;
    std::array<std::uint32_t, kEffectVoices> m_voices{};
    std::size_t m_nextVoice = 0;
    std::array<std::uint32_t, kSoundEffectCount> m_played{};
    float m_masterVolume = 1.0f;
    float m_engineVolume = 1.0f;
    float m_effectsVolume = 1.0f;
    bool m_engineRunning = false;
    bool m_held = false;
};

}  // namespace kes
