// The player's settings record: loaded from "settings.ini" beside the executable when the
// application starts, written back to the same file when the record is destroyed at shutdown,
// whole or not at all.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "app/Accessibility.hpp"
#include "app/Interface.hpp"
#include "app/PlayerName.hpp"
#include "control/Difficulty.hpp"
#include "platform/InputBindings.hpp"

class INIReader;

namespace kes {

enum class Presentation : std::uint8_t { fullscreen = 0, windowed = 1 };
// The picture's quality: one of the fixed levels, or chosen by the game from its frame rate.
// The file keeps the words; basic came last to the game, so it comes last here too.
enum class QualitySetting : std::uint8_t {
    automatic = 0,
    low = 1,
    medium = 2,
    high = 3,
    basic = 4
};
// A ghost ship raced against: the record across runs, this run's best round, the last round
// finished, the prime round (the autopilot's own), or none.
enum class GhostSetting : std::uint8_t { record = 0, best = 1, off = 2, last = 3, prime = 4 };
// What the split at each ring is measured against: the record, or the next medal's target.
enum class SplitsAgainst : std::uint8_t { record = 0, target = 1 };

struct Settings {
    // Reads "<folder>/settings.ini". Never fails: a missing file, malformed lines, numbers out
    // of range and unknown words all fall back to defaults, with the console lines the player
    // sees. `console` must outlive the record: the write-back reports there too.
    explicit Settings(const std::filesystem::path& folder);
    Settings(const std::filesystem::path& folder, std::ostream& console);
    // Writes the file back whole; when it cannot (a full disk, a folder in its place, a file
    // that could not be read at start), the old file stays as it was and one line says so.
    ~Settings();
    // The same at once (a change made in the game's menus); false when it could not.
    bool save();

    // The destructor writes the file, so a copy would write it twice.
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // What the destructor writes: the specified eleven lines first, unchanged, then the
    // sections the game added after them ([Graphics], [Race], [Sound], [Controls],
    // [Accessibility], [Interface]).
    std::string toIniText() const;

    std::filesystem::path path;
    std::int32_t width = 640;
    std::int32_t height = 480;
    std::int32_t refreshRate = 0;
    float brightness = 1.0f;
    Difficulty difficulty = Difficulty::medium;
    Presentation presentation = Presentation::windowed;
    bool vsync = false;

    // [Graphics]
    QualitySetting quality = QualitySetting::automatic;
    float renderScale = 1.0f;  // the internal picture against the window, for a fixed level

    static constexpr float kMinRenderScale = 0.25f;

    // [Race]
    // The course raced: a course file's name or "seed:N"; the game says when it has none of
    // that name and races the first course.
    std::string course = "prime-loop";
    static constexpr std::size_t kLongestCourseName = 64;
    GhostSetting ghost = GhostSetting::record;
    GhostSetting secondGhost = GhostSetting::off;  // raced beside the first; off for none
    SplitsAgainst splits = SplitsAgainst::record;
    std::string playerName = "Player";  // written into the ghosts of the player's rounds
    float ghostOpacity = 0.5f;          // the ghost ship at its most opaque, 0.05 to 1
    static constexpr float kMinGhostOpacity = 0.05f;

    // [Sound]: loudness from 0 to 1
    float masterVolume = 1.0f;
    float engineVolume = 1.0f;
    float effectsVolume = 1.0f;

    // [Controls]: each action's key and gamepad button
    Bindings controls = Bindings::defaults();

    // [Accessibility], written after the controls
    Accessibility access;

    // [Interface], last: the language of the screens, "auto" (the environment's) or a code of
    // kLanguages; the size of the menus and the race display against the window, in percent
    // (none: auto, see uiScaleFor).
    std::string language = "auto";
    std::optional<std::int32_t> uiScale;

private:
    std::string readFileText(std::ostream& console);
    static std::string readCourseName(const std::string& name, std::ostream& console);
    static std::string readPlayerName(const std::string& name, std::ostream& console);
    void readControls(const INIReader& ini, std::ostream& console);
    void keepWhatIsFree(Action action, const Binding& fallback);

    std::ostream* m_console;
    bool m_leaveFileAlone = false;  // it exists but could not be read: never written over
};

const char* toString(Difficulty difficulty);
const char* toString(Presentation presentation);
const char* toString(QualitySetting quality);
const char* toString(GhostSetting ghost);
const char* toString(SplitsAgainst splits);
// The ghost setting `step` places from `ghost` in the order record, best, last, prime, off,
// round the ends.
GhostSetting steppedGhost(GhostSetting ghost, int step);
// "auto", "basic", "low", "medium" or "high"; nothing for any other word.
std::optional<QualitySetting> qualityFromWord(std::string_view word);
// The setting `step` places from `quality` in the order auto, basic, low, medium, high, round
// the ends.
QualitySetting steppedQuality(QualitySetting quality, int step);

}  // namespace kes
