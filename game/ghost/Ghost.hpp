// A recorded round: the controls the ship was flown with, step by step from the start of the
// flight, and where the ship was, sampled, through the round itself. Drawn as the ghost ship
// to race against, and flown again by the demo to prove the round's time.
//
// The ghost file, all numbers little-endian:
//   "DLGHOST\0", format (u32), the game's version (u32 length, bytes), the course's name (u32
//   length, bytes) and content hash (u64), the round's time (f32), its splits (u32 count, f32
//   each), which round of the flight it was (u32, 1 for the first), whether the flight began at
//   the simulation's start (u8), the steps from the flight's start to the round's start and
//   end (u32 each), the control changes (u32 count; each: the step (u32), the keys held (u8), a
//   bit for each of the eight strengths that changed since the change before (u8), and each
//   changed strength (f32)), the steps between transform samples (u32), the samples (u32
//   count; each: position 3 x f32, orientation w x y z 4 x f32); from format 2 on, the
//   player's name (u32 length, UTF-8 bytes) and the flight's start: the simulation's step
//   (u64), the race's clock (f32), the ship's position and orientation (7 x f32) and the
//   asteroids (u32 count; each: position 3 x f32, orientation 4 x f32, velocity 3 x f32);
//   then a checksum of everything before it (u32, FNV-1a). Every count is checked against the
//   bytes that are left before anything is made. Format 1 files (no name, no start) are still
//   read: they are drawn, and flown again only when their flight began at the start.
//
// A ghost whose parts disagree is refused like a broken file: a round of no steps or of round
// number 0, a round time other than its steps' or its last split, splits that do not rise,
// samples its steps do not give, a control strength outside what a stick can give (NaN among
// them), a round ending more than a day into its flight, a start that is no place (a number
// that is not finite) or a player's name with control characters. Flying it again is the
// proof of its time; these are the checks that need no flying.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <glm/glm.hpp>
#include <glm/gtc/quaternion.hpp>

#include "app/PlayerName.hpp"
#include "control/ControlState.hpp"
#include "game/race/FlightStart.hpp"
#include "game/race/FlightTap.hpp"

namespace kes {

struct ControlChange {
    std::uint32_t step = 0;  // from the flight's start; the state holds from this step on
    ControlState state;
};

struct GhostSample {
    glm::vec3 position{0.0f};
    glm::quat orientation{1.0f, 0.0f, 0.0f, 0.0f};
};

struct Ghost final : ControlSource {
    static constexpr std::uint32_t kFormat = 2;
    static constexpr std::uint32_t kFirstFormat = 1;  // the oldest still read
    static constexpr std::uint32_t kSampleEvery = 2;  // steps: 30 samples a second
    // The latest step a round may end at, from its flight's start: a day of flight. It bounds
    // how long flying a ghost again can take, whatever its file says.
    static constexpr std::uint32_t kLongestFlight = 24 * 60 * 60 * 60;

    std::uint32_t format = kFormat;  // the file's, when read from one
    std::string gameVersion;
    std::string playerName;  // empty in format 1
    std::string courseName;
    std::uint64_t courseHash = 0;
    float roundTime = 0.0f;
    std::vector<float> splits;
    std::uint32_t round = 1;
    bool fromStart = true;
    std::uint32_t roundStartStep = 0;
    std::uint32_t roundEndStep = 0;
    std::optional<FlightStart> start;  // none in format 1
    std::vector<ControlChange> controls;
    std::uint32_t sampleEvery = kSampleEvery;
    std::vector<GhostSample> samples;  // from the round's start, every sampleEvery steps

    // Where the ship was `seconds` into the round: position between the two samples around it
    // linearly, orientation by spherical interpolation; the last sample after the end.
    GhostSample at(float seconds) const;
    // The controls of `step`: the last change at or before it.
    ControlState controlsAt(std::uint32_t step) const override;
    // Whether its flight can be flown again: it holds its start, or began at the start.
    bool flyable() const { return start.has_value() || fromStart; }
};

// The file's bytes.
std::string encodeGhost(const Ghost& ghost);

struct GhostRead {
    std::optional<Ghost> ghost;
    std::string problem;  // why the bytes are no ghost: "has a bad checksum"
};

// The ghost in `bytes`; with `courseName` and `courseHash`, refused when it is another
// course's or another version's of the course.
GhostRead decodeGhost(const std::string& bytes, const std::string& courseName = {},
                      std::optional<std::uint64_t> courseHash = std::nullopt);

// The game's version, as ghost files record it.
const char* gameVersion();

}  // namespace kes
