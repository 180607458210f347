// Which race decision plays which cue, counted by the sound service (which counts a cue even
// without its sound file).
#include "game/level/RaceAudio.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include "game/race/RaceState.hpp"
#include "platform/XAudio.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

class RaceAudioTest : public testing::Test {
protected:
    RaceAudioTest() { race.addObserver(&audio); }

    std::uint32_t played(SoundEffect effect) const {
        return sounds.played()[static_cast<std::size_t>(effect)];
    }
    void touch(std::uint32_t zone, float time) {
        race.currentTime = time;
        race.onTargetZoneReached(zone);
    }
    void round(float start, float seconds) {
        for (std::uint32_t zone = 1; zone <= 9; ++zone) {
            touch(zone, start + seconds * float(zone) / 10.0f);
        }
        touch(0, start + seconds);
    }

    XAudio output{343.0f, XAudio::Loopback{}};
    test::TempFolder noSounds;
    std::ostringstream console;
    SoundService sounds{noSounds.path(), console};
    RaceState race;
    RaceAudio audio{sounds};
};

TEST_F(RaceAudioTest, AZoneChimesButTheStartAndTheFinishHaveTheirOwn) {
    touch(0, 0.0f);
    EXPECT_EQ(played(SoundEffect::zoneChecked), 0u);  // the race's start is no checked zone
    round(0.0f, 40.0f);
    EXPECT_EQ(played(SoundEffect::zoneChecked), 9u);  // not the finish
    EXPECT_EQ(played(SoundEffect::newBest), 1u);      // the first round is the best
    EXPECT_EQ(played(SoundEffect::roundFinished), 0u);
    round(40.0f, 45.0f);
    EXPECT_EQ(played(SoundEffect::newBest), 1u);
    EXPECT_EQ(played(SoundEffect::roundFinished), 1u);  // slower: the sting
    round(85.0f, 30.0f);
    EXPECT_EQ(played(SoundEffect::newBest), 2u);  // faster again: the fanfare
}

// The ship put back into the zone it checked last touches it again: no mistake of the
// player's, so no buzz; a real zone out of order buzzes.
TEST_F(RaceAudioTest, AWrongZoneBuzzesUnlessTheRockPutTheShipThere) {
    touch(0, 0.0f);
    touch(1, 1.0f);
    touch(2, 2.0f);
    race.onAsteroidTouched(4);
    EXPECT_EQ(played(SoundEffect::asteroidHit), 1u);
    touch(2, 3.0f);
    EXPECT_EQ(played(SoundEffect::wrongZone), 0u);
    touch(5, 4.0f);
    EXPECT_EQ(played(SoundEffect::wrongZone), 1u);
    touch(0, 5.0f);  // the finish before its time
    EXPECT_EQ(played(SoundEffect::wrongZone), 2u);
}

// Every cue played is captioned, for a few seconds from the first frame after it: the latest
// cue's words, nothing once they have been shown long enough.
TEST_F(RaceAudioTest, EachCuePlayedIsCaptioned) {
    touch(0, 0.0f);
    touch(1, 1.0f);
    EXPECT_EQ(audio.captions().lineAt(10.0f), "[chime] ring touched");
    EXPECT_EQ(audio.captions().lineAt(12.4f), "[chime] ring touched");
    EXPECT_EQ(audio.captions().lineAt(12.6f), "");
    race.onAsteroidTouched(3);
    EXPECT_EQ(audio.captions().lineAt(13.0f), "[thud] a rock hit the ship");
    touch(5, 4.0f);
    EXPECT_EQ(audio.captions().lineAt(13.1f), "[buzz] not the next ring");
    for (const SoundEffect cue : {SoundEffect::roundFinished, SoundEffect::newBest}) {
        EXPECT_STRNE(Captions::wordsFor(cue), "");
    }
    EXPECT_STREQ(Captions::wordsFor(SoundEffect::countdown), "");
}

}  // namespace
}  // namespace kes
