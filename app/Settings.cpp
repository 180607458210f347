// Loading validates the three word-valued keys itself: the INI parser only hands back strings,
// and a typo in the file must be reported rather than silently turned into some other mode.
#include "app/Settings.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <iostream>
#include <locale>
#include <optional>
#include <sstream>
#include <string_view>

#include <INIReader.h>

#include "platform/Files.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr const char* kFileName = "settings.ini";

// The ranges a number must lie in; outside them the default is used and written back. A
// negative or huge window size fails the window or the renderer without naming the key, and a
// brightness that is not a positive number paints the picture black or inverted.
constexpr std::int32_t kMinWindowSide = 16;     // pixels
constexpr std::int32_t kMaxWindowSide = 16384;  // pixels: the largest texture OpenGL 4.3 promises
constexpr std::int32_t kMaxRefreshRate = 1000;  // hertz; 0 is the monitor's own
constexpr double kMinBrightness = 0.1;
constexpr double kMaxBrightness = 10.0;

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

template <typename T>
struct Word {
    std::string_view text;
    T value;
};

// Looks the lowered value up among the accepted words; on a miss, tells the player which value
// was rejected (as written in the file) and which default replaces it.
template <typename T, std::size_t N>
T validateWord(const std::string& value, const std::array<Word<T>, N>& words,
               std::string_view keyName, std::string_view defaultWord, T defaultValue,
               std::ostream& console) {
    const std::string key = lowered(value);
    for (const Word<T>& word : words) {
        if (key == word.text) {
            return word.value;
        }
    }
    console << "invalid " << keyName << " setting: " << value << std::endl;
    console << "Defaulting to \"" << defaultWord << "\"" << std::endl;
    return defaultValue;
}

constexpr std::array<Word<Difficulty>, 3> kDifficultyWords{{
    {"easy", Difficulty::easy},
    {"medium", Difficulty::medium},
    {"hard", Difficulty::hard},
}};
// The words the menus show too are marked for the catalogues; the file keeps them in English.
constexpr std::array<Word<Presentation>, 2> kPresentationWords{{
    {trLater("fullscreen"), Presentation::fullscreen},
    {trLater("windowed"), Presentation::windowed},
}};
constexpr std::array<Word<bool>, 2> kVsyncWords{{{"true", true}, {"false", false}}};
constexpr std::array<Word<ColourVision>, 3> kColourWords{{
    {trLater("standard"), ColourVision::standard},
    {trLater("red-green"), ColourVision::redGreen},
    {trLater("blue-yellow"), ColourVision::blueYellow},
}};
// In the order the ghost menus step through them.
constexpr std::array<Word<GhostSetting>, 5> kGhostWords{{
    {trLater("record"), GhostSetting::record},
    {trLater("best"), GhostSetting::best},
    {trLater("last"), GhostSetting::last},
    {trLater("prime"), GhostSetting::prime},
    {trLater("off"), GhostSetting::off},
}};
constexpr std::array<Word<SplitsAgainst>, 2> kSplitsWords{{
    {trLater("record"), SplitsAgainst::record},
    {trLater("target"), SplitsAgainst::target},
}};

// In the order the settings screen steps through them.
constexpr std::array<Word<QualitySetting>, 5> kQualityWords{{
    {trLater("auto"), QualitySetting::automatic},
    {trLater("basic"), QualitySetting::basic},
    {trLater("low"), QualitySetting::low},
    {trLater("medium"), QualitySetting::medium},
    {trLater("high"), QualitySetting::high},
}};

// The keys the game added after the specified ones say what is wrong in one line.
template <typename T, std::size_t N>
T readWord(const INIReader& ini, const char* section, const char* key,
           const std::array<Word<T>, N>& words, T fallback, std::ostream& console) {
    const std::string value = ini.Get(section, key, "");
    if (value.empty()) {
        return fallback;
    }
    const std::string wanted = lowered(value);
    std::string choices;
    std::string fallbackWord;
    for (const Word<T>& word : words) {
        if (wanted == word.text) {
            return word.value;
        }
        choices += (choices.empty() ? "" : ", ") + std::string(word.text);
        if (word.value == fallback) {
            fallbackWord = word.text;
        }
    }
    console << key << " = " << value << " is not one of " << choices << "; using " << fallbackWord
            << std::endl;
    return fallback;
}

// Reads the numeric keys in the accepted forms (decimal, 0x hexadecimal, leading-zero octal,
// leading digits), then checks the range; a value out of range is named with its key, as the
// file spells it, and replaced by the default.
struct NumberReader {
    const INIReader& ini;
    std::ostream& console;

    std::int32_t integer(const char* section, const char* key, std::int32_t fallback,
                         std::int32_t low, std::int32_t high) const {
        const long value = ini.GetInteger(section, key, fallback);
        if (value >= low && value <= high) {
            return static_cast<std::int32_t>(value);
        }
        complain(section, key, std::to_string(low) + " to " + std::to_string(high),
                 std::to_string(fallback));
        return fallback;
    }

    float real(const char* section, const char* key, double fallback, double low,
               double high) const {
        const double value = ini.GetReal(section, key, fallback);
        if (std::isfinite(value) && value >= low && value <= high) {
            return static_cast<float>(value);
        }
        complain(section, key, shortest(low) + " to " + shortest(high), shortest(fallback));
        return static_cast<float>(fallback);
    }

    void complain(const char* section, const char* key, const std::string& range,
                  const std::string& fallback) const {
        console << key << " = " << ini.Get(section, key, "") << " is out of range (" << range
                << "), using " << fallback << std::endl;
    }

    static std::string shortest(double value) {
        std::ostringstream text;
        text.imbue(std::locale::classic());
        text << value;
        return text.str();
    }
};

}  // namespace

const char* toString(Difficulty difficulty) {
    switch (difficulty) {
        case Difficulty::easy: return "easy";
        case Difficulty::hard: return "hard";
        case Difficulty::medium: break;
    }
    return "medium";
}

const char* toString(Presentation presentation) {
    return presentation == Presentation::fullscreen ? "fullscreen" : "windowed";
}

const char* toString(QualitySetting quality) {
    for (const auto& word : kQualityWords) {
        if (word.value == quality) {
            return word.text.data();
        }
    }
    return "auto";
}

const char* toString(SplitsAgainst splits) {
    return splits == SplitsAgainst::target ? "target" : "record";
}

GhostSetting steppedGhost(GhostSetting ghost, int step) {
    std::size_t at = 0;
    while (at < kGhostWords.size() && kGhostWords[at].value != ghost) {
        ++at;
    }
    const auto count = static_cast<int>(kGhostWords.size());
    return kGhostWords[static_cast<std::size_t>(((static_cast<int>(at) + step) % count + count) %
                                                count)]
        .value;
}

const char* toString(GhostSetting ghost) {
    for (const auto& word : kGhostWords) {
        if (word.value == ghost) {
            return word.text.data();
        }
    }
    return "record";
}

std::optional<QualitySetting> qualityFromWord(std::string_view text) {
    for (const auto& word : kQualityWords) {
        if (word.text == text) {
            return word.value;
        }
    }
    return std::nullopt;
}

QualitySetting steppedQuality(QualitySetting quality, int step) {
    const int count = static_cast<int>(kQualityWords.size());
    int at = 0;
    while (at < count && kQualityWords[static_cast<std::size_t>(at)].value != quality) {
        ++at;
    }
    const int next = ((at + step) % count + count) % count;
    return kQualityWords[static_cast<std::size_t>(next)].value;
}

Settings::Settings(const std::filesystem::path& folder) : Settings(folder, std::cout) {}

Settings::Settings(const std::filesystem::path& folder, std::ostream& console)
    : path(folder.string() + "/" + kFileName), m_console(&console) {
    const std::string text = readFileText(console);
    const INIReader ini(text.data(), text.size());
    if (ini.ParseError() > 0) {
        console << "The settings file '" << path.string()
                << "' has a line that is no setting (line " << ini.ParseError()
                << "); it is skipped" << std::endl;
    }
    const NumberReader numbers{ini, console};
    width = numbers.integer("Window", "Width", 640, kMinWindowSide, kMaxWindowSide);
    height = numbers.integer("Window", "Height", 480, kMinWindowSide, kMaxWindowSide);
    refreshRate = numbers.integer("Window", "RefreshRate", 0, 0, kMaxRefreshRate);
    brightness = numbers.real("Window", "Brightness", 1.0, kMinBrightness, kMaxBrightness);

    difficulty = validateWord(ini.Get("Game", "Difficulty", "medium"), kDifficultyWords,
                              "difficulty", "medium", Difficulty::medium, console);
    presentation = validateWord(ini.Get("Window", "Presentation", "windowed"), kPresentationWords,
                                "presentation", "windowed", Presentation::windowed, console);
    vsync = validateWord(ini.Get("Window", "VSync", "false"), kVsyncWords, "vsync", "false", false,
                         console);

    quality =
        readWord(ini, "Graphics", "Quality", kQualityWords, QualitySetting::automatic, console);
    renderScale = numbers.real("Graphics", "RenderScale", 1.0, kMinRenderScale, 1.0);

    course = readCourseName(ini.Get("Race", "Course", "prime-loop"), console);
    ghost = readWord(ini, "Race", "Ghost", kGhostWords, GhostSetting::record, console);
    secondGhost = readWord(ini, "Race", "SecondGhost", kGhostWords, GhostSetting::off, console);
    splits = readWord(ini, "Race", "Splits", kSplitsWords, SplitsAgainst::record, console);
    playerName = readPlayerName(ini.Get("Race", "PlayerName", "Player"), console);
    ghostOpacity = numbers.real("Race", "GhostOpacity", 0.5, kMinGhostOpacity, 1.0);
    masterVolume = numbers.real("Sound", "MasterVolume", 1.0, 0.0, 1.0);
    engineVolume = numbers.real("Sound", "EngineVolume", 1.0, 0.0, 1.0);
    effectsVolume = numbers.real("Sound", "EffectsVolume", 1.0, 0.0, 1.0);
    readControls(ini, console);
    access.colours =
        readWord(ini, "Accessibility", "Colours", kColourWords, ColourVision::standard, console);
    access.reducedMotion =
        readWord(ini, "Accessibility", "ReducedMotion", kVsyncWords, false, console);
    access.accelerateToggles =
        readWord(ini, "Accessibility", "AccelerateToggles", kVsyncWords, false, console);
    access.captions = readWord(ini, "Accessibility", "Captions", kVsyncWords, false, console);
    language = readLanguageSetting(ini.Get("Interface", "Language", "auto"), console);
    uiScale = readUiScaleSetting(ini.Get("Interface", "UIScale", "auto"), console);
}

// The file's text for the parser: empty, with the specified line, when it cannot be loaded. A
// file that exists but cannot be opened is kept from being written over at exit; one too large
// to be settings is moved aside, as a broken records file is.
std::string Settings::readFileText(std::ostream& console) {
    FileRead file = readRegularFile(path);
    if (file.status == ReadStatus::ok) {
        return std::move(file.bytes);
    }
    if (file.status == ReadStatus::tooLarge) {
        std::string problem;
        if (const auto aside = moveAside(path, problem)) {
            console << "The settings file '" << path.string() << "' " << file.problem
                    << "; moved aside as '" << aside->string() << "', using default values instead"
                    << std::endl;
            return {};
        }
    }
    m_leaveFileAlone = file.status != ReadStatus::missing;
    console << "ERROR: Failed to load '" << path.string() << "'. Using default values instead."
            << std::endl;
    return {};
}

// Each action's line in [Controls]; a bad one, or one whose key or button another action
// already has, is one line and the action keeps its default (what of it is still free). The
// actions the file leaves out take their defaults first, so a line that names a key the game
// took from another action ("Brake = A, B" beside "Yaw left = none, none") finds it free.
void Settings::readControls(const INIReader& ini, std::ostream& console) {
    const Bindings defaults = Bindings::defaults();
    std::array<std::string, kActionCount> lines;
    controls = Bindings{};
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        lines[i] = ini.Get("Controls", actionName(action), "");
        if (lines[i].empty()) {
            controls.set(action, defaults.of(action));
        }
    }
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        const std::string& text = lines[i];
        if (text.empty()) {
            continue;
        }
        const auto binding = parseBinding(text);
        std::optional<Action> owner;
        if (binding && !(owner = controls.set(action, *binding))) {
            continue;
        }
        keepWhatIsFree(action, defaults.of(action));
        const std::string fallback = formatBinding(controls.of(action));
        console << actionName(action) << " = " << text;
        const auto key = keyNamedIn(text);
        if (owner) {
            console << " is taken by " << actionName(*owner);
        } else if (key && reservedKeyUse(*key) != nullptr) {
            console << ": " << keyName(*key) << " " << reservedKeyUse(*key)
                    << " and cannot be bound";
        } else {
            console << " is not a key and a gamepad button";
        }
        console << "; using " << fallback << std::endl;
    }
}

// The action's default key and button, each where no other action has it.
void Settings::keepWhatIsFree(Action action, const Binding& fallback) {
    if (!controls.actionOfKey(fallback.key)) {
        controls.bindKey(action, fallback.key);
    }
    if (!controls.actionOfButton(fallback.button)) {
        controls.bindButton(action, fallback.button);
    }
}

// A name of printable characters without spaces, of bounded length; whether a course of that
// name exists is the game's to say.
std::string Settings::readCourseName(const std::string& name, std::ostream& console) {
    const bool printable = std::all_of(name.begin(), name.end(), [](char c) {
        return static_cast<unsigned char>(c) > 0x20 && static_cast<unsigned char>(c) < 0x7F;
    });
    if (!name.empty() && name.size() <= kLongestCourseName && printable) {
        return name;
    }
    console << "Course = " << name.substr(0, kLongestCourseName)
            << " is not a course name; using prime-loop" << std::endl;
    return "prime-loop";
}

std::string Settings::readPlayerName(const std::string& name, std::ostream& console) {
    const std::string problem = playerNameProblem(name);
    if (problem.empty()) {
        return name;
    }
    console << "PlayerName " << problem << "; using Player" << std::endl;
    return "Player";
}

std::string Settings::toIniText() const {
    std::ostringstream out;
    // The classic locale keeps the decimal point a point whatever the player's locale says.
    out.imbue(std::locale::classic());
    out << "[Window]" << std::endl;
    out << "Width = " << width << std::endl;
    out << "Height = " << height << std::endl;
    out << "RefreshRate = " << refreshRate << std::endl;
    out << "Brightness = " << brightness << std::endl;
    out << "Presentation = " << toString(presentation) << std::endl;
    out << "VSync = " << (vsync ? "true" : "false") << std::endl;
    out << std::endl;
    out << "[Game]" << std::endl;
    out << "Difficulty = " << toString(difficulty) << std::endl;
    out << std::endl;
    out << "[Graphics]" << std::endl;
    out << "Quality = " << toString(quality) << std::endl;
    out << "RenderScale = " << renderScale << std::endl;
    out << std::endl;
    out << "[Race]" << std::endl;
    out << "Course = " << course << std::endl;
    out << "Ghost = " << toString(ghost) << std::endl;
    out << "GhostOpacity = " << ghostOpacity << std::endl;
    out << "SecondGhost = " << toString(secondGhost) << std::endl;
    out << "Splits = " << toString(splits) << std::endl;
    out << "PlayerName = " << playerName << std::endl;
    out << std::endl;
    out << "[Sound]" << std::endl;
    out << "MasterVolume = " << masterVolume << std::endl;
    out << "EngineVolume = " << engineVolume << std::endl;
    out << "EffectsVolume = " << effectsVolume << std::endl;
    out << std::endl;
    out << "[Controls]" << std::endl;
    for (std::size_t i = 0; i < kActionCount; ++i) {
        const auto action = static_cast<Action>(i);
        out << actionName(action) << " = " << formatBinding(controls.of(action)) << std::endl;
    }
    out << std::endl;
    const auto word = [](bool on) { return on ? "true" : "false"; };
    out << "[Accessibility]" << std::endl;
    out << "Colours = " << toString(access.colours) << std::endl;
    out << "ReducedMotion = " << word(access.reducedMotion) << std::endl;
    out << "AccelerateToggles = " << word(access.accelerateToggles) << std::endl;
    out << "Captions = " << word(access.captions) << std::endl;
    out << std::endl;
    out << "[Interface]" << std::endl;
    out << "Language = " << language << std::endl;
    out << "UIScale = " << (uiScale ? std::to_string(*uiScale) : std::string("auto")) << std::endl;
    out << std::endl;
    return out.str();
}

// A failed save leaves the old file whole and says so; the game still ends normally.
Settings::~Settings() {
    save();
}

bool Settings::save() {
    const auto unsaved = [this](const std::string& why) {
        *m_console << "Couldn't save the settings to '" << path.string() << "' (" << why
                   << "); the file is left as it was" << std::endl;
        return false;
    };
    if (m_leaveFileAlone) {
        return unsaved("it could not be read at start");
    }
    const FileWrite write = writeFileAtomically(path, toIniText());
    if (!write.written()) {
        return unsaved(*write.problem);
    }
    if (write.unflushed) {
        *m_console << "Saved the settings to '" << path.string()
                   << "', but its folder could not be flushed (" << *write.unflushed
                   << "); a power cut now could bring the old file back" << std::endl;
    }
    return true;
}

}  // namespace kes
