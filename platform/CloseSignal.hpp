// Ctrl+C in the console (SIGINT) and SIGTERM ask the game to close, so it ends through the same
// teardown as closing the window and writes its settings back.
#pragma once

#include <csignal>

namespace kes {

// Installs the handlers for its lifetime; the previous handlers come back afterwards.
class CloseSignalHandler {
public:
    CloseSignalHandler();
    ~CloseSignalHandler();
    CloseSignalHandler(const CloseSignalHandler&) = delete;
    CloseSignalHandler& operator=(const CloseSignalHandler&) = delete;

private:
    struct sigaction m_previousInterrupt {};
    struct sigaction m_previousTerminate {};
};

// True once SIGINT or SIGTERM arrived while a handler was installed.
bool closeSignalReceived();

}  // namespace kes
