// Loading validates the three word-valued keys itself: the INI parser only hands back strings,
// and a typo in the file must be reported rather than silently turned into some other mode.
#include "app/Settings.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <iostream>
#include <iterator>
#include <locale>
#include <optional>
#include <sstream>
#include <string_view>

#include <INIReader.h>

namespace kes {
namespace {

constexpr const char* kFileName = "settings.ini";

// A file that cannot be opened gives an empty reader whose ParseError() is negative, exactly
// as the parser reports a file it could not open itself.
INIReader readIniFile(const std::filesystem::path& path, bool& opened) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes;
    opened = file.is_open() && !std::filesystem::is_directory(path);
    if (opened) {
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        return INIReader(bytes.data(), bytes.size());
    }
    return INIReader(std::string());
}

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
constexpr std::array<Word<Presentation>, 2> kPresentationWords{{
    {"fullscreen", Presentation::fullscreen},
    {"windowed", Presentation::windowed},
}};
constexpr std::array<Word<bool>, 2> kVsyncWords{{{"true", true}, {"false", false}}};

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

Settings::Settings(const std::filesystem::path& folder) : Settings(folder, std::cout) {}

Settings::Settings(const std::filesystem::path& folder, std::ostream& console)
    : path(folder.string() + "/" + kFileName) {
    bool opened = false;
    const INIReader ini = readIniFile(path, opened);
    if (!opened || ini.ParseError() < 0) {
        console << "ERROR: Failed to load '" << path.string() << "'. Using default values instead."
                << std::endl;
    }

    // Taken as they come: the file is the player's, and odd sizes are theirs to choose.
    width = static_cast<std::int32_t>(ini.GetInteger("Window", "Width", 640));
    height = static_cast<std::int32_t>(ini.GetInteger("Window", "Height", 480));
    refreshRate = static_cast<std::int32_t>(ini.GetInteger("Window", "RefreshRate", 0));
    brightness = static_cast<float>(ini.GetReal("Window", "Brightness", 1.0));

    difficulty = validateWord(ini.Get("Game", "Difficulty", "medium"), kDifficultyWords,
                              "difficulty", "medium", Difficulty::medium, console);
    presentation = validateWord(ini.Get("Window", "Presentation", "windowed"), kPresentationWords,
                                "presentation", "windowed", Presentation::windowed, console);
    vsync = validateWord(ini.Get("Window", "VSync", "false"), kVsyncWords, "vsync", "false", false,
                         console);
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
    return out.str();
}

Settings::~Settings() {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (file) {
        file << toIniText();
    }
}

}  // namespace kes
