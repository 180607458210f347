// The spine of the game: the one application object. It finds its installation, loads the
// settings, opens the window, input and audio, holds the camera, the physics service and the
// chain of layers, and runs the fixed-step main loop until the window closes. Its owner (the
// game's entry, the demo, a test) adds the layers. Only the application's own code and the game
// layer reach it; everything below them is handed what it needs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "app/FixedStepLoop.hpp"
#include "app/FrameTimer.hpp"
#include "app/Layer.hpp"
#include "app/Settings.hpp"
#include "platform/GameFolders.hpp"
#include "app/Singleton.hpp"
#include "physics/PhysicsService.hpp"
#include "platform/AudioDeviceWatch.hpp"
#include "platform/HidDevices.hpp"
#include "platform/OpenGL.hpp"
#include "platform/SoundService.hpp"
#include "platform/XAudio.hpp"
#include "render/Camera.hpp"
#include "render/CameraController.hpp"

namespace kes {

struct RenderSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// What a launcher other than the game itself may change for one run. The settings file keeps
// its own values: a window size given here is used, never saved.
struct LaunchOptions {
    std::optional<std::int32_t> width;
    std::optional<std::int32_t> height;
    // Tools ask for a debug context to count what the driver reports; the game does not.
    GlDebugOutput glDebugOutput = GlDebugOutput::off;
    // A loopback audio output that renders only when asked, for recording what was played.
    bool audioLoopback = false;
    // The picture's quality and render scale for this run only; the settings' when not given.
    std::optional<QualitySetting> quality;
    std::optional<float> renderScale;
    // Simulated seconds a second of real time (1/4 to 4): a replay watched slowed or sped up.
    float simulationSpeed = 1.0f;
    // At most this many passes a second (none: as many as come); see LoopHost::shortestPass.
    std::optional<double> passesPerSecond;
};

// The parts of a pass of the main loop that a profiler can time.
enum class LoopPhase : std::uint8_t { FixedStep, Update, Render };

// Told how long each timed part of a pass took; attached only by tools that profile.
class LoopProfiler {
public:
    virtual void record(LoopPhase phase, double seconds) = 0;

protected:
    ~LoopProfiler() = default;
};

class App : public Singleton<App>, private LoopHost {
public:
    static constexpr const char* kTypeName = "kes::App";

    App();
    explicit App(const LaunchOptions& options);
    ~App();

    // The main loop; returns when the window is asked to close.
    void run();

    // Pausing stops the simulation (the ship, the asteroids and the race clock stand still)
    // and holds every sound while frames are still drawn; the game says what it means.
    void setPaused(bool pause);
    bool paused() const { return m_paused; }
    // How many times the once-a-second work ran (the title's rate, the audio device's check):
    // that work goes through the window system and may allocate there.
    std::uint32_t secondsCounted() const { return m_secondsCounted; }
    // Holds the simulation without the pause's line or sounds held (a countdown before the
    // start): the physics world stands still and the race does not step, while the loop's
    // steps still reach the layers (the countdown counts them) and frames are drawn.
    void holdSimulation(bool hold) { m_held = hold; }
    bool simulationHeld() const { return m_held; }
    // Simulated seconds a second of real time, from 1/4 to 4 (see FixedStepClock::setSpeed).
    void setSimulationSpeed(float speed) { m_speed = speed; }
    // Takes `steps` fixed steps at once, drawing nothing (a replay started further in): the
    // physics, the camera controller's and the layers' fixed updates, as the loop takes them.
    void advance(std::uint32_t steps);
    // How large the menus and the race display are drawn now: the settings' UI scale for the
    // window's height and the monitor's content scale, as the last pass found them.
    float uiScale() const;
    // Speaks the settings' language from now on (English, said on the console, when it cannot):
    // the catalogues are in the assets' "locale" folder.
    bool speakSettingsLanguage();
    // The monitor's dots per inch (96 at a content scale of 1), read once a pass.
    float displayDpi() const { return m_displayDpi; }

    // The executable's folder, without a trailing separator.
    static std::filesystem::path makeAppPath();
    // The game's data: an installed copy's own folder, else the first folder named "assets"
    // that holds the game's shaders from `appPath` up to the root (see GameFolders).
    static std::filesystem::path makeAssetsPath(const std::filesystem::path& appPath);
    // The name of the locale the environment selects ("C" when it selects none, and, with one
    // line on `console`, when it selects one this machine has not installed).
    static std::string getLocale();
    static std::string getLocale(std::ostream& console);
    // The player's folders for `appPath` and `assetsPath`, made when missing (a folder that
    // cannot be made is said on `console`); `sayWhere` adds the line saying where they are.
    static PlayerFolders preparePlayerFolders(const std::filesystem::path& appPath,
                                              const std::filesystem::path& assetsPath,
                                              std::ostream& console, bool sayWhere);

    // Members are constructed in this order and destroyed in reverse.
    std::filesystem::path appPath;
    std::filesystem::path assetsPath;
    // Where settings.ini, the records, the ghosts and the player's courses are kept.
    PlayerFolders folders;
    Settings settings;
    FrameTimer timer;
    std::string localeName;
    // Whether the settings' language is spoken (English when not). Chosen before the window and
    // the audio start their threads: the language lives in the environment gettext reads.
    bool languageSpoken;
    openGL gl;
    HidDevices hid;
    XAudio audio;
    SoundService sounds;
    CameraController* cameraController = nullptr;  // not owned; set by a layer
    RenderSize renderSize;
    // The quality and render scale this run draws with: the settings', or the launcher's.
    QualitySetting quality = QualitySetting::automatic;
    float renderScale = 1.0f;
    Camera camera;
    LayerChain layers;
    // Declared after the layers, so the world goes first: no contact reaches a destroyed layer.
    PhysicsService physics;
    std::filesystem::path texturesPath;
    Viewport viewport;
    // Not owned; null in the game, so its passes are not timed at all.
    LoopProfiler* profiler = nullptr;
    // Not owned; where the loop's slow-pass lines go: the console when null.
    std::ostream* loopConsole = nullptr;

private:
    bool m_paused = false;
    bool m_held = false;
    float m_speed = 1.0f;
    double m_shortestPass = 0.0;
    float m_displayDpi = systemDpi();
    std::uint32_t m_secondsCounted = 0;
    bool m_wasFocused = false;
    AudioDeviceWatch m_audioWatch;

    bool closeRequested() override;
    bool simulationPaused() override { return m_paused; }
    float simulationSpeed() override { return m_speed; }
    double shortestPass() override { return m_shortestPass; }
    void fixedStep(float time) override;
    void updateCamera(float frameDt, float time) override;
    void renderLayers(float frameDt, float time) override;
    void presentFrame() override;
    void pollInput() override;
    void waitForEvents(double seconds) override;
    void updateLayers(float frameDt, float time, float alpha) override;
    void showPassesPerSecond(std::uint32_t passes) override;
    void everySecond() override;
    bool reopenAudio();
};

}  // namespace kes
