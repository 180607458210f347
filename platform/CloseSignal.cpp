#include "platform/CloseSignal.hpp"

namespace kes {
namespace {

// A signal handler may only touch a lock-free flag; the main loop reads it each pass.
volatile std::sig_atomic_t s_closeRequested = 0;

void onCloseSignal(int /*signal*/) {
    s_closeRequested = 1;
}

}  // namespace

CloseSignalHandler::CloseSignalHandler() {
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read (the wait for a key after a failed start) ends at once.
    action.sa_flags = 0;
    sigaction(SIGINT, &action, &m_previousInterrupt);
    sigaction(SIGTERM, &action, &m_previousTerminate);
}

CloseSignalHandler::~CloseSignalHandler() {
    sigaction(SIGINT, &m_previousInterrupt, nullptr);
    sigaction(SIGTERM, &m_previousTerminate, nullptr);
}

bool closeSignalReceived() {
    return s_closeRequested != 0;
}

}  // namespace kes
