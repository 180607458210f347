// Prints what a frame of a scene like the game's costs at 640 x 480 and 1280 x 720: the median
// frame time (CPU and GPU together, the frame finished with glFinish) and the share of each
// pass in the GPU time from timer queries. Not a test: the figures depend on the machine, its
// driver and its load. Run it under Xvfb where there is no display.
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include "bench/GameLikeScene.hpp"
#include "app/App.hpp"
#include "platform/OpenGL.hpp"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWarmUpFrames = 3;
constexpr int kMeasuredFrames = 20;

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void measure(const std::filesystem::path& assets, std::uint32_t width, std::uint32_t height) {
    kes::RendererSetup setup{assets, 1.0f, 96.0f};
    kes::Renderer renderer(setup, width, height, 3);
    renderer.setClearColor(glm::vec3(0.075f));
    std::ostringstream quiet;  // the course's own timing lines are not what this reports
    std::streambuf* console = std::cout.rdbuf(quiet.rdbuf());
    kes::bench::GameLikeScene scene(renderer, assets,
                                    static_cast<float>(width) / static_cast<float>(height));
    std::cout.rdbuf(console);

    kes::GpuPassTimer timer;
    renderer.setPassTimer(&timer);
    const kes::Viewport viewport{0, 0, static_cast<std::int32_t>(width),
                                 static_cast<std::int32_t>(height)};
    std::vector<double> frameMs;
    std::array<double, kes::kRenderPassCount> passMs{};
    for (int frame = 0; frame < kWarmUpFrames + kMeasuredFrames; ++frame) {
        const auto start = Clock::now();
        renderer.render(0, &viewport);
        renderer.prepareFrame(scene.camera, 1.0f / 60.0f, static_cast<float>(frame) / 60.0f, 1.0f);
        glFinish();
        const double elapsed =
            std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const auto passes = timer.collect();
        if (frame >= kWarmUpFrames) {
            frameMs.push_back(elapsed);
            for (std::size_t pass = 0; pass < passes.size(); ++pass) {
                passMs[pass] += passes[pass];
            }
        }
    }
    double gpuTotal = 0.0;
    for (double ms : passMs) {
        gpuTotal += ms;
    }
    std::printf("%4u x %-4u  median frame %8.2f ms  (GPU %8.2f ms a frame)\n", width, height,
                median(frameMs), gpuTotal / kMeasuredFrames);
    for (std::size_t pass = 0; pass < passMs.size(); ++pass) {
        if (passMs[pass] > 0.0) {
            std::printf("             %-18s %8.2f ms  %5.1f %%\n",
                        kes::renderPassName(static_cast<kes::RenderPass>(pass)),
                        passMs[pass] / kMeasuredFrames, 100.0 * passMs[pass] / gpuTotal);
        }
    }
}

}  // namespace

int main() {
    try {
        kes::openGL gl(1280, 720, 0, false);
        const auto assets = kes::App::makeAssetsPath(kes::App::makeAppPath());
        std::printf("Renderer: sun, ship, 10 target zones, 10 asteroids; %d frames each\n",
                    kMeasuredFrames);
        std::printf("GL renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
        measure(assets, 640, 480);
        measure(assets, 1280, 720);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
