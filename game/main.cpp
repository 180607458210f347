// The process entry: one application, its main loop, and a readable message when it cannot
// start.
#include <cstdio>
#include <exception>
#include <iostream>

#include <unistd.h>

#include "app/App.hpp"
#include "game/screens/FrontDoor.hpp"
#include "platform/CloseSignal.hpp"

namespace {

// A player who started the game from a console of its own must get to read why it stopped; a
// game started in the background, by a script or from a menu must not sit waiting for a key.
bool stdinIsForegroundTerminal() {
    return ::isatty(STDIN_FILENO) == 1 && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

}  // namespace

int main() {
    const kes::CloseSignalHandler closeOnSignal;
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
