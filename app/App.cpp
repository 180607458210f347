#include "app/App.hpp"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <locale>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "platform/CloseSignal.hpp"
#include "platform/Language.hpp"

namespace kes {
namespace {

constexpr float kSpeedOfSound = 343.0f;  // units per second
constexpr float kCameraFov = 90.0f;      // degrees
constexpr float kCameraNear = 0.1f;
constexpr float kCameraFar = 1000.0f;

FrameTimer startedTimer() {
    FrameTimer timer;
    timer.reset();
    return timer;
}

// The window's size: the settings' unless the launch options say otherwise.
RenderSize windowSize(const Settings& settings, const LaunchOptions& options) {
    return {options.width.value_or(settings.width), options.height.value_or(settings.height)};
}

float aspectOf(const RenderSize& size) {
    return static_cast<float>(size.width) / static_cast<float>(size.height);
}

// Times one part of a pass when a profiler is attached.
class PhaseTimer {
public:
    PhaseTimer(LoopProfiler* profiler, LoopPhase phase) : m_profiler(profiler), m_phase(phase) {
        if (m_profiler != nullptr) {
            m_start = std::chrono::steady_clock::now();
        }
    }
    ~PhaseTimer() {
        if (m_profiler != nullptr) {
            const std::chrono::duration<double> elapsed =
                std::chrono::steady_clock::now() - m_start;
            m_profiler->record(m_phase, elapsed.count());
        }
    }
    PhaseTimer(const PhaseTimer&) = delete;
    PhaseTimer& operator=(const PhaseTimer&) = delete;

private:
    LoopProfiler* m_profiler;
    LoopPhase m_phase;
    std::chrono::steady_clock::time_point m_start;
};

// The first locale variable, in the order the C library weighs them, that names a locale this
// machine does not have.
std::string unavailableLocaleSetting() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE",
                             "LC_MONETARY", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value == nullptr || *value == '\0') {
            continue;
        }
        try {
            [[maybe_unused]] const std::locale probe(value);
        } catch (const std::runtime_error&) {
            return std::string(name) + "=" + value;
        }
    }
    return "the environment's default";
}

}  // namespace

std::filesystem::path App::makeAppPath() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw std::runtime_error(
            "kes::App::makeAppPath - Failed: "
            "\"std::filesystem::read_symlink(\"/proc/self/exe\")\"");
    }
    const std::string text = executable.string();
    const std::size_t slash = text.rfind('/');
    if (slash == std::string::npos) {
        throw std::runtime_error("kes::App::makeAppPath - Failed: \"ptr\"");
    }
    return text.substr(0, slash);
}

std::filesystem::path App::makeAssetsPath(const std::filesystem::path& appPath) {
    if (auto data = findGameData(appPath)) {
        return std::move(*data);
    }
    throw std::runtime_error("kes::App::makeAssetsPath - Couldn't find assetsPath :(");
}

// The player's folders, made when they are not there yet, said once on the console.
PlayerFolders App::preparePlayerFolders(const std::filesystem::path& appPath,
                                        const std::filesystem::path& assetsPath,
                                        std::ostream& console, bool sayWhere) {
    PlayerFolders folders =
        choosePlayerFolders(appPath, isInstalledData(appPath, assetsPath), processEnvironment());
    for (const std::filesystem::path& folder : {folders.settings, folders.data}) {
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        if (error) {
            console << "Couldn't make the folder " << folder.string() << " (" << error.message()
                    << "); settings and records may not be kept" << std::endl;
        }
    }
    if (sayWhere) {
        console << "Settings are kept in " << (folders.settings / "settings.ini").string()
                << ", records and ghosts in " << folders.data.string() << std::endl;
    }
    return folders;
}

std::string App::getLocale() {
    return getLocale(std::cout);
}

// A locale the environment names but the machine has not installed (a remote shell's
// LC_CTYPE=UTF-8, a typo in LANG) is no reason to refuse the game: it runs in "C" instead.
std::string App::getLocale(std::ostream& console) {
    try {
        // Asks for the environment's locale by name only; the process keeps the "C" locale.
        return std::locale("").name();
    } catch (const std::runtime_error&) {
        console << "The locale the environment asks for (" << unavailableLocaleSetting()
                << ") is not installed; running in the \"C\" locale" << std::endl;
        return "C";
    }
}

App::App() : App(LaunchOptions{}) {}

App::App(const LaunchOptions& options)
    : appPath(makeAppPath()),
      assetsPath(makeAssetsPath(appPath)),
      folders(preparePlayerFolders(appPath, assetsPath, std::cout, true)),
      settings(folders.settings),
      timer(startedTimer()),
      localeName(getLocale()),
      languageSpoken(speakSettingsLanguage()),
      gl(windowSize(settings, options).width, windowSize(settings, options).height,
         settings.refreshRate, settings.presentation == Presentation::fullscreen,
         options.glDebugOutput),
      hid(gl.window),
      audio(options.audioLoopback ? XAudio(kSpeedOfSound, XAudio::Loopback{})
                                  : XAudio(kSpeedOfSound)),
      sounds(assetsPath / "sounds", std::cout),
      renderSize{gl.openedWidth, gl.openedHeight},
      quality(options.quality.value_or(settings.quality)),
      renderScale(options.renderScale.value_or(settings.renderScale)),
      camera(kCameraFov, aspectOf(renderSize), kCameraNear, kCameraFar, glm::vec3(0.0f), 1.0f,
             glm::vec3(0.0f, 0.0f, 1.0f), glm::vec3(0.0f, 1.0f, 0.0f)),
      texturesPath(assetsPath / "textures"),
      viewport{0, 0, renderSize.width, renderSize.height},
      m_audioWatch([this] { return audio.connected(); }, [this] { return reopenAudio(); },
                   std::cout) {
    m_speed = options.simulationSpeed;
    m_shortestPass = options.passesPerSecond ? 1.0 / *options.passesPerSecond : 0.0;
    publishInstance(this);
    timer.tick();
    timer.stop();
}

// Members go in reverse order; the layer chain empties itself before audio, input and window.
App::~App() = default;

void App::run() {
    runMainLoop(*this, timer, loopConsole != nullptr ? *loopConsole : std::cout);
}

bool App::closeRequested() {
    if (closeSignalReceived()) {
        gl.requestClose();
    }
    return gl.shouldClose();
}

bool App::speakSettingsLanguage() {
    return useLanguage(settings.language, assetsPath / "locale", std::cout);
}

float App::uiScale() const {
    constexpr float kDefaultDpi = 96.0f;
    return uiScaleFor(settings.uiScale, viewport.height, m_displayDpi / kDefaultDpi);
}

void App::advance(std::uint32_t steps) {
    for (std::uint32_t i = 0; i < steps; ++i) {
        fixedStep(0.0f);
    }
}

void App::fixedStep(float time) {
    const PhaseTimer timing(profiler, LoopPhase::FixedStep);
    if (!m_held) {
        physics.world->update(kFixedStep);
    }
    if (cameraController != nullptr) {
        cameraController->fixedUpdate(time);
    }
    layers.forEach([time](Layer& layer) { layer.fixedUpdate(time); });
}

void App::updateCamera(float frameDt, float time) {
    if (cameraController != nullptr) {
        cameraController->update(frameDt, time);
    }
}

void App::setPaused(bool pause) {
    if (pause == m_paused) {
        return;
    }
    m_paused = pause;
    sounds.pause(pause);
}

// The layers draw into the window's framebuffer as it is now: a window manager may have given
// the window another size than asked for.
void App::renderLayers(float frameDt, float time) {
    const PhaseTimer timing(profiler, LoopPhase::Render);
    gl.framebufferSize(viewport.width, viewport.height);
    m_displayDpi = systemDpi();  // the window may have moved to another monitor
    layers.forEach([&](Layer& layer) { layer.render(frameDt, time, 0, &viewport); });
}

void App::presentFrame() {
    gl.swapBuffers();
}

// Losing the focus pauses the race; getting it back does not resume it by itself.
void App::pollInput() {
    hid.poll();
    gl.pollEvents();
    const bool focused = gl.focused();
    if (m_wasFocused && !focused) {
        setPaused(true);
    }
    m_wasFocused = focused;
}

// Resuming is an input event, so a paused game wakes for it at once.
void App::waitForEvents(double seconds) {
    gl.waitEvents(seconds);
}

void App::updateLayers(float frameDt, float time, float alpha) {
    const PhaseTimer timing(profiler, LoopPhase::Update);
    layers.forEach([&](Layer& layer) { layer.update(frameDt, time, alpha); });
}

void App::showPassesPerSecond(std::uint32_t passes) {
    // Written into room of its own: the title changes every second and allocates nothing.
    std::array<char, 96> title{};
    std::snprintf(title.data(), title.size(), "%s - FPS: %u", kGameTitle, unsigned(passes));
    gl.setTitle(title.data());
}

// The sounds let go of the lost output's sources and buffers and are made again on the new one
// (or on the old one again when none opens).
bool App::reopenAudio() {
    sounds.unload();
    const bool reopened = audio.reopen();
    sounds.reload();
    return reopened;
}

void App::everySecond() {
    ++m_secondsCounted;
    m_audioWatch.check();
}

}  // namespace kes
