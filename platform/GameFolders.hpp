// Where the game finds its data and keeps the player's files.
//
// The data: an installed game's own folder, "../share/games/driftline-prime" from the
// executable's folder (Debian's games layout), whatever prefix it was installed to; otherwise the
// first folder named "assets" from the executable's folder upwards that holds the game's shaders
// (the build folder and the checkout), so a stray "assets" folder above an installation is
// never taken for the game's.
//
// The player's files: run from a build folder (not installed, its folder writable), settings,
// records and ghosts stay beside the executable, as they always have; a file named "portable"
// beside it keeps them there for an installed copy too. Otherwise they follow the XDG base
// directory conventions: settings in $XDG_CONFIG_HOME/driftline-prime (by default
// ~/.config/driftline-prime), records, ghosts and the player's courses in
// $XDG_DATA_HOME/driftline-prime (by default ~/.local/share/driftline-prime).
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace kes {

inline constexpr const char* kInstalledDataFolder = "../share/games/driftline-prime";
inline constexpr const char* kPlayerFolderName = "driftline-prime";

// The game's data folder for an executable in `executableFolder`; nothing when there is none.
std::optional<std::filesystem::path> findGameData(const std::filesystem::path& executableFolder);
// Whether the data found is an installed copy's (not a build folder's "assets").
bool isInstalledData(const std::filesystem::path& executableFolder,
                     const std::filesystem::path& data);

struct PlayerFolders {
    std::filesystem::path settings;  // where settings.ini is
    std::filesystem::path data;      // records, ghosts and the player's own courses
    bool besideExecutable = true;
};

// Reads an environment variable: nothing when it is not set. The game passes getenv; tests
// pass their own.
using Environment = std::function<std::optional<std::string>(const char* name)>;

// Where the player's files go for an executable in `executableFolder`, `installed` or not.
// Without a usable home (no HOME, or not absolute), they stay beside the executable.
PlayerFolders choosePlayerFolders(const std::filesystem::path& executableFolder, bool installed,
                                  const Environment& environment);

// The process's own environment.
Environment processEnvironment();

}  // namespace kes
