// Keeps what the game played: renders the mix of a loopback audio output one fixed step at a
// time, so the recording runs in step with the simulation, and writes it as a stereo WAV.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "platform/XAudio.hpp"

namespace kes::demo {

class AudioRecorder {
public:
    // 1/60 s of 44.1 kHz: 735 frames a fixed step, exactly.
    static constexpr int kFramesPerStep = XAudio::kLoopbackRate / 60;

    explicit AudioRecorder(XAudio& output);

    // Renders the mix of the fixed step just taken.
    void recordStep();
    double seconds() const;
    // False when the file cannot be written.
    bool write(const std::filesystem::path& path) const;

    const std::vector<std::int16_t>& samples() const { return m_samples; }

private:
    XAudio& m_output;
    std::vector<std::int16_t> m_samples;  // left, right, left, right, ...
};

}  // namespace kes::demo
