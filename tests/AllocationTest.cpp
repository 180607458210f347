// Code the game runs every fixed step or every frame allocates nothing. This program replaces
// operator new and delete with counting ones, so it is an executable of its own: the counting
// must not reach every other test.

// GCC cannot see that the replaced pairs match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#include <atomic>
#include <cstdlib>
#include <new>
#include <optional>
#include <sstream>
#include <vector>

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include "Sounds.hpp"
#include "app/App.hpp"
#include "game/level/GameLayer.hpp"
#include "game/screens/FrontDoor.hpp"
#include "platform/SoundService.hpp"
#include "support/FlyRace.hpp"
#include "platform/XAudio.hpp"
#include "support/TempFolder.hpp"

// Counts every allocation made through operator new in this test program. Every form of new
// and delete is replaced, so all of them meet in malloc and free (a sanitizer build would
// otherwise pair its own new with our delete).
namespace {
std::atomic<std::size_t> g_allocations{0};

void* counted(std::size_t size) noexcept {
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}

void* countedOrThrow(std::size_t size) {
    if (void* memory = counted(size)) {
        return memory;
    }
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) {
    return countedOrThrow(size);
}
void* operator new[](std::size_t size) {
    return countedOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return counted(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return counted(size);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace kes {
namespace {

// The generated sounds in a folder of their own.
class SoundAllocationTest : public testing::Test {
protected:
    SoundAllocationTest() {
        for (const assetgen::Sound& sound : assetgen::makeAllSounds()) {
            assetgen::writeWav(sound, folder.path() / (sound.name + ".wav"));
        }
    }

    test::TempFolder folder;
    XAudio output{343.0f, XAudio::Loopback{}};
};

// What the game does every fixed step and at every race event allocates nothing.
TEST_F(SoundAllocationTest, PlayingAndSteeringTheEngineAllocateNothing) {
    std::ostringstream console;
    const std::size_t atStart = g_allocations;
    SoundService sounds(folder.path(), console);
    EXPECT_GT(g_allocations, atStart);  // loading does allocate: the counter sees it
    sounds.startEngine();
    const std::size_t before = g_allocations;
    for (int step = 0; step < 600; ++step) {
        sounds.setEngine(static_cast<float>(step % 30), 1.0f + static_cast<float>(step % 6));
        if (step % 10 == 0) {
            sounds.play(static_cast<SoundEffect>(step / 10 % kSoundEffectCount));
        }
    }
    sounds.pause(true);
    sounds.pause(false);
    EXPECT_EQ(g_allocations - before, 0u);
}

// A fixed step of the race (physics, rules, the ship's controller, the autopilot's keys)
// allocates nothing once a round has met every body of the course: the physics library's pair
// cache and the world's contact lists have grown to what the race needs by then.
TEST(RaceAllocation, AFixedStepOfTheRaceAllocatesNothing) {
    test::HeadlessRace race;
    Autopilot pilot = autopilotFor(race.simulation);
    const auto step = [&] {
        race.step();
        pilot.step(race.simulation.nextZone());
    };
    while (race.simulation.race.roundsFinished == 0 && race.steps < 60 * 300) {
        step();
    }
    ASSERT_EQ(race.simulation.race.roundsFinished, 1u);
    const std::size_t before = g_allocations;
    for (int i = 0; i < 600; ++i) {
        step();
    }
    EXPECT_EQ(g_allocations - before, 0u);
}

// The automatic quality measures every pass: it keeps its samples in room made once, also
// across its changes of choice.
TEST(QualityAllocation, TheGovernorAllocatesNothingAPass) {
    QualityGovernor governor(720);
    double now = 0.0;
    const std::size_t before = g_allocations;
    int changes = 0;
    for (int pass = 0; pass < 3000; ++pass) {
        const double seconds = pass < 1500 ? 0.005 : 0.040;  // fast, then slow
        now += seconds;
        changes += governor.record(seconds, now).has_value();
    }
    EXPECT_GT(changes, 3);
    EXPECT_EQ(g_allocations - before, 0u);
}

QualitySetting fixedSetting(QualityLevel level) {
    switch (level) {
        case QualityLevel::basic: return QualitySetting::basic;
        case QualityLevel::low: return QualitySetting::low;
        case QualityLevel::medium: return QualitySetting::medium;
        case QualityLevel::high: return QualitySetting::high;
    }
    return QualitySetting::high;
}

// The allocations of each pass of the real loop since the pass before, for a layer that looks at
// every pass: none for a pass that held the once-a-second work (the window's title, the audio
// device's check), which goes through the window system and may allocate there; on a slow
// machine such a pass falls among those counted.
class PassAllocations {
public:
    explicit PassAllocations(const App& app) : m_app(app) {}

    std::optional<std::size_t> sinceLastPass() {
        const std::size_t now = g_allocations;
        const std::size_t made = now - m_last;
        const bool secondWork = m_app.secondsCounted() != m_lastSeconds;
        m_last = now;
        m_lastSeconds = m_app.secondsCounted();
        return secondWork ? std::nullopt : std::optional(made);
    }

private:
    const App& m_app;
    std::size_t m_last = 0;
    std::uint32_t m_lastSeconds = 0;
};

// Counts the allocations of passes of the real loop at one quality after another: a change
// of quality makes its targets, which allocates, and the passes after it settle, which are
// not counted; the passes counted are those after that. A pass that held the once-a-second
// work (the window's title, the audio device's check) is left out too: that goes through the
// window system, which may allocate, and on a slow machine it falls into the counted passes.
class CountingLayer final : public Layer {
public:
    static constexpr int kPassesEach = 30;
    static constexpr int kSettlingPasses = 10;

    CountingLayer(App& app, GameLayer& game, std::vector<QualityChoice> levels)
        : m_app(app),
          m_game(game),
          m_levels(std::move(levels)),
          counted(m_levels.size(), 0),
          passesCounted(m_levels.size(), 0) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {}
    void render(float, float, unsigned int, const Viewport*) override {
        const auto level = static_cast<std::size_t>(m_pass / kPassesEach);
        const int inLevel = m_pass % kPassesEach;
        if (inLevel == 0) {
            // A fixed choice, as from the settings: the automatic quality would change it on a
            // slow machine.
            const QualityChoice& choice = m_levels[level];
            m_game.setQualitySetting(fixedSetting(choice.level), choice.scale);
        }
        const auto made = m_allocations.sinceLastPass();
        if (inLevel > kSettlingPasses && made) {
            counted[level] += *made;
            ++passesCounted[level];
        }
        if (inLevel == kPassesEach - 1 && level + 1 == m_levels.size()) {
            m_app.gl.requestClose();
        }
        ++m_pass;
    }

private:
    App& m_app;
    GameLayer& m_game;
    std::vector<QualityChoice> m_levels;
    int m_pass = 0;
    PassAllocations m_allocations{m_app};

public:
    std::vector<std::size_t> counted;        // by level
    std::vector<std::size_t> passesCounted;  // by level
};

// A pass of the game (the race display, the guide, every pass of the renderer, the loop
// itself) allocates nothing at any quality level or scale, under the virtual display. The
// simulation is held: its steps are counted above, after a round has met every body, while here
// how many steps fall in the counted passes would depend on the machine's speed (a rock that
// first touches the waiting ship in them would be counted).
TEST(FrameAllocation, APassOfTheGameAllocatesNothingAtAnyLevel) {
    LaunchOptions options;
    options.width = 320;
    options.height = 240;
    App app(options);
    GameLayer& game = app.layers.emplace<GameLayer>(app, RaceSetup{.keepRecords = false});
    const std::vector<QualityChoice> levels{{QualityLevel::high, 1.0f},
                                            {QualityLevel::medium, 0.7f},
                                            {QualityLevel::low, 1.0f},
                                            {QualityLevel::low, 0.5f}};
    CountingLayer& counting = app.layers.emplace<CountingLayer>(app, game, levels);
    app.holdSimulation(true);
    app.run();
    for (std::size_t i = 0; i < levels.size(); ++i) {
        EXPECT_EQ(counting.counted[i], 0u)
            << toString(levels[i].level) << " at " << levels[i].scale;
        // Most passes are counted however slow the machine: at most one a second is left out.
        EXPECT_GE(counting.passesCounted[i], 12u)
            << toString(levels[i].level) << " at " << levels[i].scale;
    }
}

// Counts the allocations of the passes a menu stands on the screen, one menu after another,
// reached by keys as a player would: the passes right after the keys (the menu made) and those
// holding the once-a-second work are not counted.
class MenuCountingLayer final : public Layer {
public:
    static constexpr int kPassesEach = 30;
    static constexpr int kSettlingPasses = 5;

    MenuCountingLayer(App& app, FrontDoor& door, std::vector<std::vector<int>> ways)
        : m_app(app), m_door(door), m_ways(std::move(ways)), counted(m_ways.size(), 0) {}

    void update(float, float, float) override {}
    void fixedUpdate(float) override {}
    void render(float, float, unsigned int, const Viewport*) override {
        const auto way = static_cast<std::size_t>(m_pass / kPassesEach);
        const int inWay = m_pass % kPassesEach;
        if (inWay == 0) {
            for (const int key : m_ways[way]) {
                m_door.input().onKey(key, 0, GLFW_PRESS, 0);
                m_door.input().onKey(key, 0, GLFW_RELEASE, 0);
            }
            shown.push_back(m_door.screenName());
        }
        const auto made = m_allocations.sinceLastPass();
        if (inWay > kSettlingPasses && made) {
            counted[way] += *made;
        }
        if (inWay == kPassesEach - 1 && way + 1 == m_ways.size()) {
            m_app.gl.requestClose();
        }
        ++m_pass;
    }

private:
    App& m_app;
    FrontDoor& m_door;
    std::vector<std::vector<int>> m_ways;
    int m_pass = 0;
    PassAllocations m_allocations{m_app};

public:
    std::vector<std::size_t> counted;
    std::vector<std::string> shown;
};

// A menu on the screen (its lines made when it is shown, never while drawn) and the level dimmed
// behind it allocate nothing a pass: the title, the settings, the controls, the courses, the
// list of replays; nor does the theatre playing a round with its timeline and controls drawn,
// seen through each camera in turn.
TEST(FrameAllocation, AMenuOnTheScreenAllocatesNothingAPass) {
    LaunchOptions options;
    options.width = 320;
    options.height = 240;
    options.quality = QualitySetting::low;
    App app(options);
    FrontDoor& door = app.layers.emplace<FrontDoor>(app, RaceSetup{.keepRecords = false});
    app.holdSimulation(true);
    const std::vector<std::vector<int>> ways{
        {},
        {GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_DOWN, GLFW_KEY_ENTER},
        {GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER},
        {GLFW_KEY_ESCAPE, GLFW_KEY_ESCAPE, GLFW_KEY_DOWN, GLFW_KEY_ENTER},
        {GLFW_KEY_ESCAPE, GLFW_KEY_UP, GLFW_KEY_UP, GLFW_KEY_ENTER},
        {GLFW_KEY_ENTER},
        {GLFW_KEY_C},
        {GLFW_KEY_C},
        {GLFW_KEY_C}};
    MenuCountingLayer& counting = app.layers.emplace<MenuCountingLayer>(app, door, ways);
    app.run();
    EXPECT_EQ(counting.shown,
              (std::vector<std::string>{"title", "settings", "controls", "course", "replays",
                                        "theatre", "theatre", "theatre", "theatre"}));
    EXPECT_EQ(door.game().camera().view(), CameraView::free);
    for (std::size_t i = 0; i < ways.size(); ++i) {
        EXPECT_EQ(counting.counted[i], 0u) << counting.shown[i];
    }
}

}  // namespace
}  // namespace kes
