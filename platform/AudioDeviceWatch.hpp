// Watches the audio output for a device that goes away while the game runs (a headset pulled
// out, a USB card unplugged). OpenAL stops playing on a lost device and says nothing; the game
// must not stop, so the player is told once and the race goes on silently.
#pragma once

#include <functional>
#include <ostream>
#include <utility>

namespace kes {

class AudioDeviceWatch {
public:
    using Probe = std::function<bool()>;  // true while the device is there

    AudioDeviceWatch(Probe connected, std::ostream& console)
        : m_connected(std::move(connected)), m_console(console) {}

    // Asks the device; called about once a second, so the question costs nothing noticeable.
    void check() {
        if (m_lost || m_connected()) {
            return;
        }
        m_lost = true;
        m_console << "The audio device was disconnected; playing on without sound" << std::endl;
    }
    bool lost() const { return m_lost; }

private:
    Probe m_connected;
    std::ostream& m_console;
    bool m_lost = false;
};

}  // namespace kes
