// Where the game finds its data and keeps the player's files: an installed copy's own data
// folder before any "assets" above it, a stray "assets" never taken, and the player's files
// beside a build folder's executable, in the XDG folders for an installed one, and beside it
// again when a "portable" file says so.
#include "platform/GameFolders.hpp"

#include <map>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

Environment environmentOf(std::map<std::string, std::string> values) {
    return [values](const char* name) -> std::optional<std::string> {
        const auto found = values.find(name);
        return found != values.end() ? std::optional(found->second) : std::nullopt;
    };
}

TEST(GameFoldersTest, AnInstalledCopyFindsItsOwnDataAndNeverAStrayAssetsFolder) {
    const test::TempFolder root;
    // P/games/driftline beside P/share/games/driftline-prime, inside a folder with an assets
    // folder of someone else's, and a checkout's assets higher up.
    const auto prefix = root.path() / "checkout" / "prefix";
    std::filesystem::create_directories(prefix / "games");
    std::filesystem::create_directories(prefix / "share/games/driftline-prime/shaders");
    std::filesystem::create_directories(root.path() / "checkout/assets/shaders");
    std::filesystem::create_directories(prefix / "assets/photos");
    const auto data = findGameData(prefix / "games");
    ASSERT_TRUE(data);
    EXPECT_EQ(*data, prefix / "share/games/driftline-prime");
    EXPECT_TRUE(isInstalledData(prefix / "games", *data));

    // Its data folder gone: not someone's "assets" next to it, but the checkout's, which holds
    // the game's shaders.
    std::filesystem::remove_all(prefix / "share");
    EXPECT_EQ(findGameData(prefix / "games"), root.path() / "checkout/assets");
    EXPECT_FALSE(isInstalledData(prefix / "games", root.path() / "checkout/assets"));
    std::filesystem::remove_all(root.path() / "checkout/assets");
    if (!std::filesystem::exists("/assets/shaders") &&
        !std::filesystem::exists("/tmp/assets/shaders")) {
        EXPECT_FALSE(findGameData(prefix / "games"));
    }
}

TEST(GameFoldersTest, ThePlayersFilesGoBesideABuildAndIntoTheXdgFoldersWhenInstalled) {
    const test::TempFolder root;
    const auto bin = root.path() / "bin";
    std::filesystem::create_directories(bin);
    const Environment home = environmentOf({{"HOME", "/home/ada"}});

    // A build folder: beside the executable, as always.
    PlayerFolders folders = choosePlayerFolders(bin, false, home);
    EXPECT_TRUE(folders.besideExecutable);
    EXPECT_EQ(folders.settings, bin);
    EXPECT_EQ(folders.data, bin);

    // Installed: the XDG defaults under the home, or the folders the variables name.
    folders = choosePlayerFolders(bin, true, home);
    EXPECT_FALSE(folders.besideExecutable);
    EXPECT_EQ(folders.settings, "/home/ada/.config/driftline-prime");
    EXPECT_EQ(folders.data, "/home/ada/.local/share/driftline-prime");
    folders = choosePlayerFolders(
        bin, true,
        environmentOf(
            {{"HOME", "/home/ada"}, {"XDG_CONFIG_HOME", "/cfg"}, {"XDG_DATA_HOME", "rel"}}));
    EXPECT_EQ(folders.settings, "/cfg/driftline-prime");
    EXPECT_EQ(folders.data, "/home/ada/.local/share/driftline-prime");  // a relative one is ignored

    // A folder the player cannot write, not installed: the XDG folders too.
    if (::geteuid() != 0) {
        ::chmod(bin.c_str(), 0555);
        EXPECT_FALSE(choosePlayerFolders(bin, false, home).besideExecutable);
        ::chmod(bin.c_str(), 0755);
    }
    // No home at all: beside the executable rather than nowhere.
    EXPECT_TRUE(choosePlayerFolders(bin, true, environmentOf({})).besideExecutable);
    // "portable" beside an installed copy keeps everything beside it.
    root.write("bin/portable", "");
    EXPECT_TRUE(choosePlayerFolders(bin, true, home).besideExecutable);
}

}  // namespace
}  // namespace kes
