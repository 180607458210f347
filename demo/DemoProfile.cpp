#include "demo/DemoProfile.hpp"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace kes::demo {

Spread spreadOf(std::vector<double> values) {
    Spread spread;
    spread.count = values.size();
    if (values.empty()) {
        return spread;
    }
    std::sort(values.begin(), values.end());
    spread.median = values[(values.size() - 1) / 2];
    const auto rank = static_cast<std::size_t>(std::ceil(0.95 * double(values.size())));
    spread.p95 = values[std::max<std::size_t>(rank, 1) - 1];
    spread.maximum = values.back();
    return spread;
}

// A pass ends with its update, the last timed part of the loop.
void DemoProfile::record(LoopPhase phase, double seconds) {
    const double ms = seconds * 1000.0;
    switch (phase) {
        case LoopPhase::FixedStep: m_current.fixedStepMs = ms; break;
        case LoopPhase::Render: m_current.renderMs = ms; break;
        case LoopPhase::Update:
            m_current.updateMs = ms;
            passes.push_back(m_current);
            m_current = PassSample{};
            break;
    }
}

void DemoProfile::recordGpu(const std::array<double, kRenderPassCount>& milliseconds) {
    m_current.gpuMs = milliseconds;
}

void DemoProfile::recordFrame(double sinceLastSeconds, const QualityChoice& quality) {
    m_current.frameMs = sinceLastSeconds < 0.0 ? -1.0 : sinceLastSeconds * 1000.0;
    m_current.quality = quality;
}

void DemoProfile::addStartupPhase(std::string name, double seconds) {
    startup.emplace_back(std::move(name), seconds);
}

void DemoProfile::addRaceLine(std::string line) {
    raceLines.push_back(std::move(line));
}

namespace {

void printSpread(std::ostream& out, const char* name, const Spread& spread) {
    out << "  " << std::left << std::setw(22) << name << std::right << std::setw(10)
        << spread.median << std::setw(10) << spread.p95 << std::setw(10) << spread.maximum
        << std::setw(9) << spread.count << "\n";
}

}  // namespace

void DemoProfile::printTable(std::ostream& out, double wallSeconds, bool gpuTiming) const {
    const auto flags = out.flags();
    out << std::fixed << std::setprecision(2);
    out << "\n== Start-up ==\n";
    double total = 0.0;
    for (const auto& [name, seconds] : startup) {
        out << "  " << std::left << std::setw(40) << name << std::right << std::setw(10)
            << seconds * 1000.0 << " ms\n";
        total += seconds;
    }
    out << "  " << std::left << std::setw(40) << "total" << std::right << std::setw(10)
        << total * 1000.0 << " ms\n";

    std::vector<double> fixed, update, render;
    for (const PassSample& pass : passes) {
        if (pass.fixedStepMs >= 0.0) {
            fixed.push_back(pass.fixedStepMs);
        }
        update.push_back(pass.updateMs);
        render.push_back(pass.renderMs);
    }
    out << "\n== CPU time a pass (ms) ==\n";
    out << "  " << std::left << std::setw(22) << "part" << std::right << std::setw(10) << "median"
        << std::setw(10) << "p95" << std::setw(10) << "max" << std::setw(9) << "passes"
        << "\n";
    printSpread(out, "fixed step", spreadOf(fixed));
    printSpread(out, "update", spreadOf(update));
    printSpread(out, "render call", spreadOf(render));

    if (gpuTiming) {
        out << "\n== GPU time a frame (ms) ==\n";
        for (std::size_t p = 0; p < kRenderPassCount; ++p) {
            std::vector<double> times;
            for (const PassSample& pass : passes) {
                times.push_back(pass.gpuMs[p]);
            }
            printSpread(out, renderPassName(static_cast<RenderPass>(p)), spreadOf(times));
        }
    }

    out << "\n== Frames ==\n";
    const double fps = wallSeconds > 0.0 ? double(passes.size()) / wallSeconds : 0.0;
    out << "  " << passes.size() << " passes in " << wallSeconds << " s: " << fps
        << " frames per second\n";
    out << "\n== Race ==\n";
    if (raceLines.empty()) {
        out << "  (no round finished)\n";
    }
    for (const std::string& line : raceLines) {
        out << "  " << line << "\n";
    }
    out.flags(flags);
}

namespace {

struct TimeAtQuality {
    QualityChoice quality;
    double seconds = 0.0;
    std::size_t passes = 0;
};

// Best first: by level, then by scale.
std::vector<TimeAtQuality> timeAtEachQuality(const std::vector<PassSample>& passes) {
    std::vector<TimeAtQuality> times;
    for (const PassSample& pass : passes) {
        auto found = std::find_if(times.begin(), times.end(), [&](const TimeAtQuality& time) {
            return time.quality == pass.quality;
        });
        if (found == times.end()) {
            times.push_back({pass.quality});
            found = times.end() - 1;
        }
        found->seconds += std::max(pass.frameMs, 0.0) / 1000.0;
        ++found->passes;
    }
    std::sort(times.begin(), times.end(), [](const TimeAtQuality& a, const TimeAtQuality& b) {
        return a.quality.level != b.quality.level ? a.quality.level > b.quality.level
                                                  : a.quality.scale > b.quality.scale;
    });
    return times;
}

double shareAbove(const std::vector<double>& values, double limit) {
    if (values.empty()) {
        return 0.0;
    }
    const auto above = std::count_if(values.begin(), values.end(),
                                     [limit](double value) { return value > limit; });
    return 100.0 * double(above) / double(values.size());
}

}  // namespace

void DemoProfile::printFrames(std::ostream& out, const PictureSize& window) const {
    constexpr std::size_t kLastPasses = 300;
    const auto flags = out.flags();
    out << std::fixed << std::setprecision(1) << "\n== Quality and smoothness ==\n";
    for (const TimeAtQuality& time : timeAtEachQuality(passes)) {
        const PictureSize drawn = scaledPicture(window.width, window.height, time.quality.scale);
        out << "  " << toString(time.quality.level) << " at "
            << std::lround(time.quality.scale * 100.0f) << " % (" << drawn.width << " x "
            << drawn.height << "): " << time.seconds << " s, " << time.passes << " passes\n";
    }
    std::vector<double> frames;
    for (const PassSample& pass : passes) {
        if (pass.frameMs >= 0.0) {
            frames.push_back(pass.frameMs);
        }
    }
    out << "  frame to frame: median " << spreadOf(frames).median
        << " ms; slower than 1/60 s: " << shareAbove(frames, 1000.0 / 60.0)
        << " %, slower than 1/30 s: " << shareAbove(frames, 1000.0 / 30.0) << " %\n";
    const std::size_t last = std::min(kLastPasses, frames.size());
    double lastSeconds = 0.0;
    for (std::size_t i = frames.size() - last; i < frames.size(); ++i) {
        lastSeconds += frames[i] / 1000.0;
    }
    if (last > 0 && lastSeconds > 0.0) {
        out << "  last " << last << " passes: " << std::setprecision(2)
            << double(last) / lastSeconds << " frames per second\n";
    }
    out.flags(flags);
}

double DemoProfile::shareSlowerThan(double milliseconds) const {
    std::vector<double> frames;
    for (const PassSample& pass : passes) {
        if (pass.frameMs >= 0.0) {
            frames.push_back(pass.frameMs);
        }
    }
    return shareAbove(frames, milliseconds);
}

std::string realTimeLine(double simulatedSeconds, double wallSeconds, double slowShare) {
    std::ostringstream line;
    line << std::fixed << "Race ran at "
         << std::lround(wallSeconds > 0.0 ? 100.0 * simulatedSeconds / wallSeconds : 0.0)
         << " % of real time (" << std::setprecision(3) << simulatedSeconds << " s simulated in "
         << wallSeconds << " s), passes slower than 1/60 s: " << std::setprecision(1) << slowShare
         << " %";
    return line.str();
}

bool DemoProfile::writeCsv(const std::filesystem::path& path, bool gpuTiming) const {
    std::ofstream csv(path);
    if (!csv) {
        return false;
    }
    csv << "pass,fixed_step_ms,update_ms,render_ms,frame_ms,quality,scale";
    if (gpuTiming) {
        for (std::size_t p = 0; p < kRenderPassCount; ++p) {
            std::string name = renderPassName(static_cast<RenderPass>(p));
            std::replace(name.begin(), name.end(), ' ', '_');
            csv << ",gpu_" << name << "_ms";
        }
    }
    csv << "\n";
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const PassSample& pass = passes[i];
        csv << i << ',';
        if (pass.fixedStepMs >= 0.0) {
            csv << pass.fixedStepMs;
        }
        csv << ',' << pass.updateMs << ',' << pass.renderMs << ',';
        if (pass.frameMs >= 0.0) {
            csv << pass.frameMs;
        }
        csv << ',' << toString(pass.quality.level) << ',' << pass.quality.scale;
        if (gpuTiming) {
            for (double ms : pass.gpuMs) {
                csv << ',' << ms;
            }
        }
        csv << "\n";
    }
    return static_cast<bool>(csv);
}

}  // namespace kes::demo
