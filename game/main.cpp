// The process entry: one application, its main loop, and a readable message when it cannot
// start. `driftline --import FILE` proves and keeps a ghost file without opening a window;
// `driftline FILE.ghost` (the desktop's way of opening one) imports it and then starts the game.
#include <cstdio>
#include <exception>
#include <iostream>
#include <string>

#include <unistd.h>

#include "app/App.hpp"
#include "game/course/CourseLibrary.hpp"
#include "game/ghost/GhostLibrary.hpp"
#include "game/screens/FrontDoor.hpp"
#include "platform/CloseSignal.hpp"

namespace {

// A player who started the game from a console of its own must get to read why it stopped; a
// game started in the background, by a script or from a menu must not sit waiting for a key.
bool stdinIsForegroundTerminal() {
    return ::isatty(STDIN_FILENO) == 1 && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

// One line saying what became of the file; true when it was kept.
bool importGhost(const std::string& file) {
    const std::filesystem::path appPath = kes::App::makeAppPath();
    const std::filesystem::path assets = kes::App::makeAssetsPath(appPath);
    const kes::PlayerFolders folders =
        kes::App::preparePlayerFolders(appPath, assets, std::cout, false);
    const kes::CourseLibrary courses(assets / "courses", folders.data / "courses", std::cout);
    kes::GhostLibrary library(folders.data / "ghosts", std::cout);
    const kes::GhostLibrary::Import result = library.importFile(file, courses);
    std::cout << result.line << std::endl;
    return result.kept;
}

int play() {
    try {
        kes::App app;
        app.layers.emplace<kes::FrontDoor>(app);
        app.run();
    } catch (const std::exception& failure) {
        std::cout << "excp: " << failure.what() << std::endl;
        if (stdinIsForegroundTerminal()) {
            std::getchar();
        }
        return 1;
    }
    return 0;
}

constexpr const char* kUsage =
    "Usage: driftline                  play\n"
    "       driftline --import FILE    prove a ghost file by flying it again and keep it\n"
    "       driftline FILE.ghost       import the ghost file, then play\n";

}  // namespace

int main(int argc, char** argv) {
    const kes::CloseSignalHandler closeOnSignal;
    const std::string first = argc > 1 ? argv[1] : "";
    try {
        if (first == "--import" && argc == 3) {
            return importGhost(argv[2]) ? 0 : 1;
        }
        if (argc == 2 && first.size() > 6 && first.ends_with(".ghost")) {
            importGhost(first);
            return play();
        }
    } catch (const std::exception& failure) {
        std::cout << "excp: " << failure.what() << std::endl;
        return 1;
    }
    if (argc > 1) {
        std::cerr << kUsage;
        return first == "--help" ? 0 : 2;
    }
    return play();
}
