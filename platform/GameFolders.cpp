#include "platform/GameFolders.hpp"

#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace kes {
namespace {

// The game's data holds its shaders: a folder without them is someone else's "assets".
bool holdsGameData(const std::filesystem::path& folder) {
    std::error_code error;
    return std::filesystem::is_directory(folder / "shaders", error);
}

bool writable(const std::filesystem::path& folder) {
    return ::access(folder.c_str(), W_OK) == 0;
}

// An absolute path from the variable, or nothing: the XDG base-directory rules ignore relative
// ones.
std::optional<std::filesystem::path> absoluteFrom(const Environment& environment,
                                                  const char* name) {
    const std::optional<std::string> value = environment(name);
    if (!value || value->empty() || value->front() != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(*value);
}

}  // namespace

std::optional<std::filesystem::path> findGameData(const std::filesystem::path& executableFolder) {
    const std::filesystem::path installed =
        (executableFolder / kInstalledDataFolder).lexically_normal();
    if (holdsGameData(installed)) {
        return installed;
    }
    for (std::filesystem::path folder = executableFolder;; folder = folder.parent_path()) {
        if (holdsGameData(folder / "assets")) {
            return folder / "assets";
        }
        if (folder == folder.parent_path() || folder.empty()) {
            return std::nullopt;
        }
    }
}

bool isInstalledData(const std::filesystem::path& executableFolder,
                     const std::filesystem::path& data) {
    return data == (executableFolder / kInstalledDataFolder).lexically_normal();
}

PlayerFolders choosePlayerFolders(const std::filesystem::path& executableFolder, bool installed,
                                  const Environment& environment) {
    const PlayerFolders beside{executableFolder, executableFolder, true};
    std::error_code error;
    if (std::filesystem::exists(executableFolder / "portable", error) ||
        (!installed && writable(executableFolder))) {
        return beside;
    }
    const auto home = absoluteFrom(environment, "HOME");
    const auto config = absoluteFrom(environment, "XDG_CONFIG_HOME");
    const auto data = absoluteFrom(environment, "XDG_DATA_HOME");
    if (!home && (!config || !data)) {
        return beside;
    }
    const std::filesystem::path configBase = config ? *config : *home / ".config";
    const std::filesystem::path dataBase = data ? *data : *home / ".local" / "share";
    return {configBase / kPlayerFolderName, dataBase / kPlayerFolderName, false};
}

Environment processEnvironment() {
    return [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
    };
}

}  // namespace kes
