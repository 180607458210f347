// Keeps what the game played: renders the mix of a loopback audio output one fixed step at a
// time, so the recording runs in step with the simulation, and streams it into a stereo WAV.
// The file is opened before any flying, so a path that cannot be written fails at once.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "platform/XAudio.hpp"

struct sf_private_tag;

namespace kes::demo {

class AudioRecorder {
public:
    // 1/60 s of 44.1 kHz: 735 frames a fixed step, exactly.
    static constexpr int kFramesPerStep = XAudio::kLoopbackRate / 60;

    // Creates the WAV file at `path`; throws, naming the path and the reason, when it cannot.
    AudioRecorder(XAudio& output, std::filesystem::path path);
    // A recording never finished (the demo failed) is closed and kept as far as it got.
    ~AudioRecorder();
    AudioRecorder(const AudioRecorder&) = delete;
    AudioRecorder& operator=(const AudioRecorder&) = delete;

    // Renders the mix of the fixed step just taken and appends it to the file.
    void recordStep();
    double seconds() const;
    // Closes the file. False, and the partial file removed, when any write failed.
    bool finish();

    const std::filesystem::path& path() const { return m_path; }

private:
    XAudio& m_output;
    std::filesystem::path m_path;
    sf_private_tag* m_file = nullptr;
    std::array<std::int16_t, 2 * kFramesPerStep> m_step{};  // left, right, left, right, ...
    std::uint64_t m_frames = 0;
    bool m_failed = false;
};

}  // namespace kes::demo
