// The process entry: one application, its main loop, and a readable message when it cannot
// start.
#include <cstdio>
#include <exception>
#include <iostream>

#include "app/App.hpp"
#include "platform/CloseSignal.hpp"

int main() {
    const kes::CloseSignalHandler closeOnSignal;
    try {
        kes::App app;
        app.run();
    } catch (const std::exception& failure) {
        std::cout << "excp: " << failure.what() << std::endl;
        // Keeps a console opened just for the game on screen until the player has read it.
        std::getchar();
    }
    return 0;
}
