// Watches the audio output for a device that goes away while the game runs (a headset pulled
// out, a USB card unplugged). OpenAL stops playing on a lost device and says nothing; the game
// must not stop, so the player is told once and the race goes on silently, and from the next
// check on (about once a second) the default device is opened again until one is there, which
// is said once too.
#pragma once

#include <functional>
#include <ostream>
#include <utility>

namespace kes {

class AudioDeviceWatch {
public:
    using Probe = std::function<bool()>;   // true while the device is there
    using Reopen = std::function<bool()>;  // true when a device was opened and plays

    AudioDeviceWatch(Probe connected, Reopen reopen, std::ostream& console)
        : m_connected(std::move(connected)), m_reopen(std::move(reopen)), m_console(console) {}

    // Asks the device, or while it is lost tries another; called about once a second, so the
    // question costs nothing noticeable.
    void check() {
        if (m_lost) {
            if (m_reopen()) {
                m_lost = false;
                m_console << "An audio device is there again; the sound plays on it" << std::endl;
            }
            return;
        }
        if (m_connected()) {
            return;
        }
        m_lost = true;
        m_console << "The audio device was disconnected; playing on without sound" << std::endl;
    }
    bool lost() const { return m_lost; }

private:
    Probe m_connected;
    Reopen m_reopen;
    std::ostream& m_console;
    bool m_lost = false;
};

}  // namespace kes
