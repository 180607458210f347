// Code the game runs every fixed step or every frame allocates nothing. This program replaces
// operator new and delete with counting ones, so it is an executable of its own: the counting
// must not reach every other test.

// GCC cannot see that the replaced pairs match.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#include <atomic>
#include <cstdlib>
#include <new>
#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "Sounds.hpp"
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

}  // namespace
}  // namespace kes
