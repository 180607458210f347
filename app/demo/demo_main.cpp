// driftline-demo: the real game, flown by the autopilot, with a profile of where the time
// goes. The game itself takes no options; this launcher does.
#include <chrono>
#include <filesystem>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "app/App.hpp"
#include "app/demo/DemoLayer.hpp"
#include "app/demo/DemoOptions.hpp"
#include "app/demo/DemoProfile.hpp"
#include "game/GameLayer.hpp"
#include "platform/CloseSignal.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Passes the console through unchanged and keeps the race's result lines for the profile.
class RaceLineTap final : public std::streambuf {
public:
    RaceLineTap(std::ostream& stream, kes::demo::DemoProfile& profile)
        : m_stream(stream), m_original(stream.rdbuf(this)), m_profile(profile) {}
    ~RaceLineTap() override { m_stream.rdbuf(m_original); }
    RaceLineTap(const RaceLineTap&) = delete;
    RaceLineTap& operator=(const RaceLineTap&) = delete;

protected:
    int overflow(int character) override {
        if (character == traits_type::eof()) {
            return traits_type::not_eof(character);
        }
        if (character == '\n') {
            if (m_line.starts_with("Finished round") || m_line.starts_with("New best time")) {
                m_profile.addRaceLine(m_line);
            }
            m_line.clear();
        } else {
            m_line.push_back(static_cast<char>(character));
        }
        return m_original->sputc(static_cast<char>(character));
    }
    int sync() override { return m_original->pubsync(); }

private:
    std::ostream& m_stream;
    std::streambuf* m_original;
    kes::demo::DemoProfile& m_profile;
    std::string m_line;
};

int runDemo(const kes::demo::DemoOptions& options) {
    kes::demo::DemoProfile profile;
    std::filesystem::create_directories(options.screenshotFolder);
    RaceLineTap tap(std::cout, profile);

    const Clock::time_point start = Clock::now();
    kes::App app(kes::LaunchOptions{options.width, options.height});
    const double appSeconds = secondsSince(start);
    auto& game = *static_cast<kes::GameLayer*>(app.layers.first());
    const kes::LevelBuildTimes& level = game.buildTimes;
    const double levelSeconds = level.renderer + level.models + level.path + level.objects;
    profile.addStartupPhase("window, context, input and audio", appSeconds - levelSeconds);
    profile.addStartupPhase("renderer and shader compilation", level.renderer);
    profile.addStartupPhase("models and generated geometry", level.models);
    profile.addStartupPhase("course and tube", level.path);
    profile.addStartupPhase("level objects", level.objects);

    auto layer = std::make_unique<kes::demo::DemoLayer>(app, game, options, profile);
    kes::demo::DemoLayer& demo = *layer;
    app.layers.append(std::move(layer));
    app.profiler = &profile;
    const Clock::time_point loopStart = Clock::now();
    app.run();
    const double loopSeconds = secondsSince(loopStart);
    app.profiler = nullptr;
    profile.startup.emplace_back("first frame", demo.firstFrameSeconds);

    profile.printTable(std::cout, loopSeconds, options.gpuTiming);
    const std::filesystem::path csv = options.screenshotFolder / "profile.csv";
    if (profile.writeCsv(csv, options.gpuTiming)) {
        std::cout << "\nProfile written to " << csv.string() << "\n";
    }
    std::cout << "Screenshots:\n";
    for (const auto& path : demo.screenshots) {
        std::cout << "  " << std::filesystem::absolute(path).string() << "\n";
    }
    if (!demo.roundsFlown() && options.frameLimit == 0) {
        std::cout << "The window was closed before the rounds were flown.\n";
    }
    std::cout.flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const kes::CloseSignalHandler closeOnSignal;
    kes::demo::DemoOptions options;
    try {
        options = kes::demo::parseDemoOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& problem) {
        std::cerr << "driftline-demo: " << problem.what() << "\n\n" << kes::demo::demoUsage();
        return 2;
    }
    if (options.help) {
        std::cout << kes::demo::demoUsage();
        return 0;
    }
    try {
        return runDemo(options);
    } catch (const std::exception& failure) {
        std::cout << "excp: " << failure.what() << std::endl;
        return 1;
    }
}
