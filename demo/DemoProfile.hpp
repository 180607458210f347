// The figures of a demo run: start-up phases, per-pass CPU times of the loop's parts, GPU time
// of each render pass, and the race lines the game printed; printed as a table and written as
// CSV for plotting.
#pragma once

#include <array>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "app/App.hpp"
#include "render/GpuPassTimer.hpp"
#include "render/QualityGovernor.hpp"

namespace kes::demo {

struct Spread {
    double median = 0.0;
    double p95 = 0.0;
    double maximum = 0.0;
    std::size_t count = 0;
};

// Median, 95th percentile (nearest rank) and maximum; zeros for no values.
Spread spreadOf(std::vector<double> values);

struct PassSample {
    double fixedStepMs = -1.0;  // -1: no fixed step in this pass
    double updateMs = 0.0;
    double renderMs = 0.0;
    std::array<double, kRenderPassCount> gpuMs{};
    double frameMs = -1.0;  // from the previous frame's end to this one's; -1 for the first
    QualityChoice quality;  // what the frame was drawn at
};

class DemoProfile final : public LoopProfiler {
public:
    void record(LoopPhase phase, double seconds) override;
    // GPU times of the frame just drawn, for the current pass.
    void recordGpu(const std::array<double, kRenderPassCount>& milliseconds);
    // The frame just drawn: the time since the previous one and the quality it was drawn at.
    void recordFrame(double sinceLastSeconds, const QualityChoice& quality);

    void addStartupPhase(std::string name, double seconds);
    void addRaceLine(std::string line);

    void printTable(std::ostream& out, double wallSeconds, bool gpuTiming) const;
    // What the frames were drawn at and how smooth they came: time at each quality, the median
    // frame, the share slower than 1/60 s and 1/30 s, and the rate over the last passes.
    void printFrames(std::ostream& out, const PictureSize& window) const;
    // The share of passes, in per cent, that took longer than `milliseconds` frame to frame.
    double shareSlowerThan(double milliseconds) const;
    // One row a pass; false when the file cannot be written.
    bool writeCsv(const std::filesystem::path& path, bool gpuTiming) const;

    std::vector<std::pair<std::string, double>> startup;  // seconds
    std::vector<PassSample> passes;
    std::vector<std::string> raceLines;

private:
    PassSample m_current;
};

// "Race ran at 97 % of real time (45.117 s simulated in 46.512 s), passes slower than 1/60 s:
// 3.2 %": how near real time the race ran; the loop takes one step a pass, so below 60 passes
// a second the race runs slow.
std::string realTimeLine(double simulatedSeconds, double wallSeconds, double slowShare);

}  // namespace kes::demo
