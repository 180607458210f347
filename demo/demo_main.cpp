// driftline-demo: the real game, flown by the autopilot, with a profile of where the time
// goes. The game itself takes no options; this launcher does.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iomanip>
#include <filesystem>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string>
#include <vector>

#include "app/App.hpp"
#include "demo/DemoLayer.hpp"
#include "demo/DemoOptions.hpp"
#include "demo/DemoProfile.hpp"
#include "game/ghost/PrimeRound.hpp"
#include "game/level/GameLayer.hpp"
#include "platform/CloseSignal.hpp"
#include "platform/Files.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Takes the place of the console for the main loop's slow-pass lines: on a software
// rasteriser nearly every pass is slow, and a line each would bury the race. Counts them.
class LineCounter final : public std::streambuf {
public:
    std::uint64_t lines = 0;

protected:
    int overflow(int character) override {
        if (character == '\n') {
            ++lines;
        }
        return traits_type::not_eof(character);
    }
};

std::string glString(GLenum name) {
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text != nullptr ? text : "(unknown)";
}

void printGlDebugLog(const kes::GlDebugLog& log) {
    std::cout << "\n== OpenGL ==\n  vendor: " << glString(GL_VENDOR)
              << "\n  renderer: " << glString(GL_RENDERER)
              << "\n  version: " << glString(GL_VERSION) << "\n  " << log.summary() << "\n";
    for (const std::string& message : log.firstMessages()) {
        std::cout << "    " << message << "\n";
    }
    if (!log.debugGroups().empty()) {
        std::cout << "  debug groups:";
        for (const std::string& group : log.debugGroups()) {
            std::cout << " [" << group << "]";
        }
        std::cout << "\n";
    }
}

void printTransparencyPool(const kes::TransparencyBuffers* lists, std::uint32_t peakNodes,
                           bool measured) {
    if (lists == nullptr) {
        std::cout << "  transparency pool: none (the quality level adds the tube instead)\n";
        return;
    }
    const kes::TransparencyBuffers& pool = *lists;
    const double pixels = double(pool.width) * double(pool.height);
    std::cout << std::fixed << std::setprecision(2) << "  transparency pool: " << pool.nodeCapacity
              << " nodes (" << double(pool.nodeCapacity) / pixels << " a pixel, "
              << double(pool.poolBytes()) / (1024.0 * 1024.0) << " MiB)";
    if (measured) {
        std::cout << "; peak use " << peakNodes << " nodes (" << double(peakNodes) / pixels
                  << " a pixel)";
    } else {
        std::cout << "; peak use not measured (--gpu-timing measures it)";
    }
    std::cout << "\n";
    std::cout.unsetf(std::ios::floatfield);
}

void printCourse(const kes::GameLayer& game) {
    const kes::RaceSimulation& race = game.simulation();
    std::cout << std::fixed << std::setprecision(0) << "Course: " << race.course.name << " ("
              << race.course.title << "), " << race.path.totalLength << " units, "
              << race.zoneBodies.size() << " zones, " << race.asteroidBodies.size() << " asteroids"
              << std::endl;
    std::cout.unsetf(std::ios::floatfield);
}

// False when the recording could not be written whole (the partial file is removed).
bool printSounds(const kes::SoundService& sounds, kes::demo::AudioRecorder* recorder) {
    std::cout << "\n== Sound ==\n  played:";
    for (std::size_t i = 0; i < kes::kSoundEffectCount; ++i) {
        std::cout << " " << kes::soundEffectName(static_cast<kes::SoundEffect>(i)) << " "
                  << sounds.played()[i];
    }
    std::cout << "\n";
    if (recorder == nullptr) {
        return true;
    }
    if (!recorder->finish()) {
        std::cout << "  recording: couldn't write " << recorder->path().string()
                  << "; the partial file is removed\n";
        return false;
    }
    std::cout << std::fixed << std::setprecision(3)
              << "  recording: " << std::filesystem::absolute(recorder->path()).string() << " ("
              << recorder->seconds() << " s, 44100 Hz stereo)\n";
    std::cout.unsetf(std::ios::floatfield);
    return true;
}

// The ghost file the demo is asked to fly again; nothing, with one line, when it cannot be.
std::optional<kes::Ghost> loadReplay(const std::filesystem::path& path) {
    const kes::FileRead file = kes::readRegularFile(path, kes::GhostKeeper::kMaxBytes);
    if (file.status != kes::ReadStatus::ok) {
        std::cout << "driftline-demo: the ghost file " << path.string() << " " << file.problem
                  << std::endl;
        return std::nullopt;
    }
    kes::GhostRead read = kes::decodeGhost(file.bytes);
    if (!read.ghost) {
        std::cout << "driftline-demo: the ghost file " << path.string() << " " << read.problem
                  << std::endl;
        return std::nullopt;
    }
    if (!read.ghost->flyable()) {
        std::cout << "driftline-demo: the ghost file " << path.string()
                  << " holds a round flown after a restart in an older format, without its "
                     "start; it cannot be flown again"
                  << std::endl;
        return std::nullopt;
    }
    return read.ghost;
}

// Flies the replay up to ring `ring` at once, drawing nothing: to the first sample of the
// ghost at or after the ring's touch, where the ship must stand exactly where the ghost's sample
// says (a sample is the ship's place as a step began). One line says so; false when it does not
// or when the ghost has no such ring.
bool startFromRing(kes::App& app, const kes::GameLayer& game, const kes::Ghost& ghost,
                   std::uint32_t ring) {
    if (ring >= ghost.splits.size()) {
        std::cout << "driftline-demo: --from-ring " << ring
                  << ": the ghost's course has rings 0 to " << ghost.splits.size() - 1 << std::endl;
        return false;
    }
    const float reached = ring == 0 ? 0.0f : ghost.splits[ring - 1];
    const auto stepsIn = static_cast<std::uint32_t>(std::lround(reached / kes::kFixedStep));
    const std::uint32_t sample = (stepsIn + ghost.sampleEvery - 1) / ghost.sampleEvery;
    app.advance(ghost.roundStartStep + sample * ghost.sampleEvery + 1);
    const glm::vec3 ship = game.simulation().shipBody->getTransform().position;
    const glm::vec3 recorded =
        ghost.samples[std::min<std::size_t>(sample, ghost.samples.size() - 1)].position;
    const float apart = glm::distance(ship, recorded);
    std::cout << std::fixed << std::setprecision(3) << "Replay from ring " << ring << " ("
              << float(sample * ghost.sampleEvery) * kes::kFixedStep
              << " s into the round): the ship stands " << apart
              << " units from the ghost's recorded place" << std::endl;
    std::cout.unsetf(std::ios::floatfield);
    return apart == 0.0f;
}

// False, with one line, when the ghost of the last round could not be written.
bool writeGhost(const kes::FlightRecorder& recorder, const std::filesystem::path& path) {
    if (!recorder.lastRound()) {
        std::cout << "No round was finished: no ghost written to " << path.string() << "\n";
        return false;
    }
    const std::string bytes = kes::encodeGhost(*recorder.lastRound());
    const kes::FileWrite write = kes::writeFileAtomically(path, bytes);
    if (!write.written()) {
        std::cout << "Couldn't write the ghost file " << path.string() << " (" << *write.problem
                  << ")\n";
        return false;
    }
    std::cout << "Ghost written to " << std::filesystem::absolute(path).string() << " ("
              << bytes.size() << " bytes, round " << recorder.lastRound()->round << ", "
              << std::fixed << std::setprecision(3) << recorder.lastRound()->roundTime << " s)";
    if (write.unflushed) {
        std::cout << "; its folder could not be flushed (" << *write.unflushed
                  << "), so a power cut now could lose it";
    }
    std::cout << "\n";
    std::cout.unsetf(std::ios::floatfield);
    return true;
}

// The course's target times in one line, flown headless: no window, nothing kept. Exit status
// 1, with one line, for a course the game does not have or the autopilot cannot finish.
int printTargets(const kes::demo::DemoOptions& options) {
    const std::filesystem::path appPath = kes::App::makeAppPath();
    const std::filesystem::path assets = kes::App::makeAssetsPath(appPath);
    const kes::PlayerFolders folders =
        kes::App::preparePlayerFolders(appPath, assets, std::cout, false);
    std::string name;
    if (options.course) {
        name = *options.course;
    } else {
        name = kes::Settings(folders.settings, std::cout).course;
    }
    const kes::CourseLibrary library(assets / "courses", folders.data / "courses", std::cout);
    const std::optional<kes::Course> course = library.find(name);
    if (!course) {
        std::cout << "driftline-demo: there is no course " << name << std::endl;
        return 1;
    }
    kes::TargetKeeper keeper({}, std::cout);
    const std::optional<kes::TargetTimes>& targets = keeper.targets(*course);
    if (!targets) {
        std::cout << "driftline-demo: the autopilot finishes no round of " << name
                  << " in ten minutes of flight; it has no targets" << std::endl;
        return 1;
    }
    std::cout << kes::targetsLine(course->name, *targets) << std::endl;
    if (!options.ghostOut.empty()) {
        const kes::FileWrite write = kes::writeFileAtomically(
            options.ghostOut, kes::encodeGhost(*keeper.primeRound(*course)));
        if (!write.written()) {
            std::cout << "Couldn't write the ghost file " << options.ghostOut.string() << " ("
                      << *write.problem << ")" << std::endl;
            return 1;
        }
    }
    return 0;
}

int runDemo(const kes::demo::DemoOptions& options) {
    std::optional<kes::Ghost> replay;
    if (!options.replay.empty()) {
        replay = loadReplay(options.replay);
        if (!replay) {
            return 1;
        }
    }
    const kes::Ghost* replayed = replay ? &*replay : nullptr;
    kes::demo::DemoProfile profile;
    std::filesystem::create_directories(options.screenshotFolder);

    const Clock::time_point start = Clock::now();
    std::cout << "Demo: the autopilot flies " << options.rounds
              << " round(s); a round is about 45 s of simulated flight, which a software "
                 "rasteriser needs several minutes for. A progress line follows every 5 s."
              << std::endl;
    kes::App app(kes::LaunchOptions{.width = options.width,
                                    .height = options.height,
                                    .glDebugOutput = kes::GlDebugOutput::on,
                                    .audioLoopback = !options.audioOut.empty(),
                                    .quality = options.quality,
                                    .renderScale = options.renderScale,
                                    .simulationSpeed = options.speed,
                                    .passesPerSecond = options.pace});
    profile.addStartupPhase("window, context, input and audio", secondsSince(start));
    // The demo keeps no records and no ghosts of the player's.
    auto& game = app.layers.emplace<kes::GameLayer>(
        app,
        kes::RaceSetup{.course = replayed ? std::optional(replayed->courseName) : options.course,
                       .ghost = std::nullopt,
                       .keepRecords = false,
                       .recordsSaid = false});
    game.camera().setView(options.camera);
    const kes::LevelBuildTimes& level = game.buildTimes();
    profile.addStartupPhase("renderer and shader compilation", level.renderer);
    profile.addStartupPhase("models and generated geometry", level.models);
    profile.addStartupPhase("courses, course and tube", level.path);
    profile.addStartupPhase("level objects", level.objects);

    printCourse(game);
    if (replayed != nullptr &&
        (game.simulation().course.name != replayed->courseName ||
         kes::courseHash(game.simulation().course) != replayed->courseHash)) {
        std::cout << "Replay cannot run: the course " << replayed->courseName
                  << " is not here as it was recorded" << std::endl;
        return 1;
    }
    if (replayed != nullptr && replayed->start && !game.startFlightFrom(*replayed->start)) {
        std::cout << "Replay cannot run: its start has another number of asteroids than "
                  << replayed->courseName << std::endl;
        return 1;
    }
    auto& demo = app.layers.emplace<kes::demo::DemoLayer>(app, game, options, profile, replayed);
    bool startedWhereRecorded = true;
    if (replayed != nullptr && options.fromRing) {
        startedWhereRecorded = startFromRing(app, game, *replayed, *options.fromRing);
        if (!startedWhereRecorded && *options.fromRing >= replayed->splits.size()) {
            return 1;
        }
    }
    app.profiler = &profile;
    LineCounter slowPasses;
    std::ostream slowPassConsole(&slowPasses);
    app.loopConsole = &slowPassConsole;
    const Clock::time_point loopStart = Clock::now();
    app.run();
    const double loopSeconds = secondsSince(loopStart);
    app.loopConsole = nullptr;
    app.profiler = nullptr;
    profile.startup.emplace_back("first frame", demo.firstFrameSeconds);

    profile.printTable(std::cout, loopSeconds, options.gpuTiming);
    std::cout << std::fixed << std::setprecision(3) << "  fixed steps: " << demo.fixedSteps << " ("
              << double(demo.fixedSteps) * double(kes::kFixedStep)
              << " s simulated); passes slower than 1/30 s: " << slowPasses.lines << "\n";
    std::cout.unsetf(std::ios::floatfield);
    std::cout << "  "
              << kes::demo::realTimeLine(demo.flightSimulatedSeconds(), demo.flightWallSeconds(),
                                         profile.shareSlowerThan(1000.0 / 60.0))
              << "\n";
    profile.printFrames(std::cout, {static_cast<std::uint32_t>(app.viewport.width),
                                    static_cast<std::uint32_t>(app.viewport.height)});
    printGlDebugLog(app.gl.debugLog);
    printTransparencyPool(game.renderer().transparencyLists(), demo.peakListNodes,
                          options.gpuTiming);
    const bool recorded = printSounds(app.sounds, demo.recorder.get());
    bool ghostWritten = true;
    if (!options.ghostOut.empty()) {
        ghostWritten = writeGhost(game.recorder(), options.ghostOut);
    }
    bool replayReproduced = true;
    if (demo.judge != nullptr) {
        const std::string verdict = demo.judge->decided()
                                        ? demo.judge->verdict()
                                        : "Replay differs: the window was closed before the round";
        std::cout << "\n" << verdict << "\n";
        std::cout << "Replay flown in " << demo.steppingPasses << " passes at speed "
                  << options.speed << "\n";
        replayReproduced = demo.judge->reproduced() && startedWhereRecorded;
    }
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
    return recorded && ghostWritten && replayReproduced ? 0 : 1;
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
        return options.targets ? printTargets(options) : runDemo(options);
    } catch (const std::exception& failure) {
        std::cout << "excp: " << failure.what() << std::endl;
        return 1;
    }
}
