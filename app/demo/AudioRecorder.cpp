#include "app/demo/AudioRecorder.hpp"

#include <stdexcept>

#include <sndfile.h>

namespace kes::demo {

AudioRecorder::AudioRecorder(XAudio& output) : m_output(output) {
    if (!output.loopback()) {
        throw std::invalid_argument("the demo records only from a loopback audio output");
    }
    m_samples.reserve(std::size_t{2} * kFramesPerStep * 60 * 120);  // two minutes of flight
}

void AudioRecorder::recordStep() {
    const std::size_t start = m_samples.size();
    m_samples.resize(start + std::size_t{2} * kFramesPerStep);
    m_output.renderSamples(m_samples.data() + start, kFramesPerStep);
}

double AudioRecorder::seconds() const {
    return double(m_samples.size() / 2) / XAudio::kLoopbackRate;
}

bool AudioRecorder::write(const std::filesystem::path& path) const {
    SF_INFO info{};
    info.samplerate = XAudio::kLoopbackRate;
    info.channels = 2;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) {
        return false;
    }
    const auto frames = static_cast<sf_count_t>(m_samples.size() / 2);
    const bool written = sf_writef_short(file, m_samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

}  // namespace kes::demo
