#include "demo/AudioRecorder.hpp"

#include <stdexcept>
#include <system_error>
#include <utility>

#include <sndfile.h>

namespace kes::demo {

AudioRecorder::AudioRecorder(XAudio& output, std::filesystem::path path)
    : m_output(output), m_path(std::move(path)) {
    if (!output.loopback()) {
        throw std::invalid_argument("the demo records only from a loopback audio output");
    }
    SF_INFO info{};
    info.samplerate = XAudio::kLoopbackRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    m_file = sf_open(m_path.c_str(), SFM_WRITE, &info);
    if (m_file == nullptr) {
        throw std::runtime_error("kes::demo::AudioRecorder - can't write the recording " +
                                 m_path.string() + " (" + sf_strerror(nullptr) + ")");
    }
}

AudioRecorder::~AudioRecorder() {
    if (m_file != nullptr) {
        sf_close(m_file);
    }
}

void AudioRecorder::recordStep() {
    m_output.renderSamples(m_step.data(), kFramesPerStep);
    if (m_file == nullptr || m_failed) {
        return;
    }
    m_failed = sf_writef_short(m_file, m_step.data(), kFramesPerStep) != kFramesPerStep;
    m_frames += kFramesPerStep;
}

double AudioRecorder::seconds() const {
    return double(m_frames) / XAudio::kLoopbackRate;
}

bool AudioRecorder::finish() {
    if (m_file == nullptr) {
        return false;
    }
    const bool closed = sf_close(m_file) == 0;
    m_file = nullptr;
    if (closed && !m_failed) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
    return false;
}

}  // namespace kes::demo
