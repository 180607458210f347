#include "game/ghost/Ghost.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "physics/Step.hpp"
#include "control/ShipController.hpp"

#ifndef DRIFTLINE_VERSION
#define DRIFTLINE_VERSION "0.0"
#endif

namespace kes {
namespace {

constexpr char kMagic[8] = {'D', 'L', 'G', 'H', 'O', 'S', 'T', '\0'};
constexpr std::size_t kLongestText = 64;
constexpr std::size_t kMostSplits = 64;
// The least a control change takes: its step, the keys held and which strengths changed (each
// changed strength adds 4 bytes).
constexpr std::size_t kControlBytes = 4 + 1 + 1;
constexpr std::size_t kSampleBytes = 7 * 4;
constexpr std::uint32_t kMostSampleEvery = 60;  // steps between samples: at least one a second
constexpr std::size_t kRockBytes = 10 * 4;
constexpr std::size_t kMostRocks = 4096;
// The latest simulation step a flight may start at: about 2 years of play at 60 steps a second.
constexpr std::uint64_t kLatestStartStep = std::uint64_t(1) << 32;

std::uint32_t checksum(const char* bytes, std::size_t size) {
    std::uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 16777619u;
    }
    return hash;
}

class Writer {
public:
    void bytes(const void* data, std::size_t size) {
        m_out.append(static_cast<const char*>(data), size);
    }
    void u8(std::uint8_t value) { m_out.push_back(static_cast<char>(value)); }
    void u32(std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            u8(static_cast<std::uint8_t>(value >> (8 * i)));
        }
    }
    void u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        u32(static_cast<std::uint32_t>(value >> 32));
    }
    void f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        u32(bits);
    }
    void vec3(const glm::vec3& v) {
        f32(v.x);
        f32(v.y);
        f32(v.z);
    }
    void quat(const glm::quat& q) {
        f32(q.w);
        f32(q.x);
        f32(q.y);
        f32(q.z);
    }
    void text(const std::string& value) {
        u32(static_cast<std::uint32_t>(value.size()));
        bytes(value.data(), value.size());
    }
    std::string finish() {
        u32(checksum(m_out.data(), m_out.size()));
        return std::move(m_out);
    }

private:
    std::string m_out;
};

// Reads from the bytes before the checksum; every read says whether the bytes were there.
class Reader {
public:
    Reader(const char* data, std::size_t size) : m_data(data), m_left(size) {}

    std::size_t left() const { return m_left; }
    bool bytes(void* out, std::size_t size) {
        if (size > m_left) {
            return false;
        }
        std::memcpy(out, m_data, size);
        m_data += size;
        m_left -= size;
        return true;
    }
    bool u8(std::uint8_t& value) { return bytes(&value, 1); }
    bool u32(std::uint32_t& value) {
        unsigned char raw[4];
        if (!bytes(raw, 4)) {
            return false;
        }
        value = std::uint32_t(raw[0]) | std::uint32_t(raw[1]) << 8 | std::uint32_t(raw[2]) << 16 |
                std::uint32_t(raw[3]) << 24;
        return true;
    }
    bool u64(std::uint64_t& value) {
        std::uint32_t low = 0, high = 0;
        if (!u32(low) || !u32(high)) {
            return false;
        }
        value = std::uint64_t(high) << 32 | low;
        return true;
    }
    bool f32(float& value) {
        std::uint32_t bits = 0;
        if (!u32(bits)) {
            return false;
        }
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }
    bool text(std::string& value) {
        std::uint32_t size = 0;
        if (!u32(size) || size > kLongestText || size > m_left) {
            return false;
        }
        value.assign(m_data, size);
        m_data += size;
        m_left -= size;
        return true;
    }
    // A count of items of `itemBytes` each that the bytes left can hold.
    bool count(std::uint32_t& value, std::size_t itemBytes, std::size_t most) {
        return u32(value) && value <= most && std::size_t(value) * itemBytes <= m_left;
    }

private:
    const char* m_data;
    std::size_t m_left;
};

bool readVec3(Reader& in, glm::vec3& v) {
    return in.f32(v.x) && in.f32(v.y) && in.f32(v.z);
}

bool readQuat(Reader& in, glm::quat& q) {
    return in.f32(q.w) && in.f32(q.x) && in.f32(q.y) && in.f32(q.z);
}

bool readStart(Reader& in, FlightStart& start) {
    std::uint32_t rocks = 0;
    if (!in.u64(start.clockStep) || !in.f32(start.raceClock) || !readVec3(in, start.shipPosition) ||
        !readQuat(in, start.shipOrientation) || !in.count(rocks, kRockBytes, kMostRocks)) {
        return false;
    }
    start.rocks.resize(rocks);
    for (RockStart& rock : start.rocks) {
        if (!readVec3(in, rock.position) || !readQuat(in, rock.orientation) ||
            !readVec3(in, rock.velocity)) {
            return false;
        }
    }
    return true;
}

bool readControls(Reader& in, std::vector<ControlChange>& controls) {
    std::uint32_t count = 0;
    if (!in.count(count, kControlBytes, in.left() / kControlBytes)) {
        return false;
    }
    controls.resize(count);
    ControlState previous;
    for (ControlChange& change : controls) {
        std::uint8_t changed = 0;
        if (!in.u32(change.step) || !in.u8(change.state.held) || !in.u8(changed)) {
            return false;
        }
        change.state.strengths = previous.strengths;
        for (std::size_t i = 0; i < ControlState::kDirections; ++i) {
            if ((changed & (1u << i)) != 0 && !in.f32(change.state.strengths[i])) {
                return false;
            }
        }
        previous = change.state;
    }
    return true;
}

bool readSamples(Reader& in, std::vector<GhostSample>& samples) {
    std::uint32_t count = 0;
    if (!in.count(count, kSampleBytes, in.left() / kSampleBytes)) {
        return false;
    }
    samples.resize(count);
    for (GhostSample& sample : samples) {
        if (!readVec3(in, sample.position) || !readQuat(in, sample.orientation)) {
            return false;
        }
    }
    return true;
}

// Everything after the format: false when the bytes end early or a count is impossible.
bool readBody(Reader& in, Ghost& ghost) {
    std::uint32_t splitCount = 0;
    std::uint8_t fromStart = 0;
    if (!in.text(ghost.gameVersion) || !in.text(ghost.courseName) || !in.u64(ghost.courseHash) ||
        !in.f32(ghost.roundTime) || !in.count(splitCount, 4, kMostSplits)) {
        return false;
    }
    ghost.splits.resize(splitCount);
    for (float& split : ghost.splits) {
        if (!in.f32(split)) {
            return false;
        }
    }
    const bool whole = in.u32(ghost.round) && in.u8(fromStart) && in.u32(ghost.roundStartStep) &&
                       in.u32(ghost.roundEndStep) && readControls(in, ghost.controls) &&
                       in.u32(ghost.sampleEvery) && readSamples(in, ghost.samples);
    ghost.fromStart = fromStart != 0;
    if (!whole || ghost.format < 2) {
        return whole;
    }
    ghost.start.emplace();
    return in.text(ghost.playerName) && readStart(in, *ghost.start);
}

bool isTime(float value) {
    return std::isfinite(value) && value > 0.0f;
}

// The round's steps, its time and its splits agree: the time is its steps' (to within a step:
// the clock is single precision), the splits rise to the time, and there is a sample every
// sampleEvery steps through it.
std::string roundSense(const Ghost& ghost) {
    const std::uint32_t steps = ghost.roundEndStep - ghost.roundStartStep;
    if (std::fabs(static_cast<float>(steps) * kFixedStep - ghost.roundTime) > kFixedStep) {
        return "has a round time that its steps do not give";
    }
    float previous = 0.0f;
    for (const float split : ghost.splits) {
        if (!isTime(split) || split < previous) {
            return "has splits that do not rise";
        }
        previous = split;
    }
    if (std::fabs(ghost.splits.back() - ghost.roundTime) > 0.001f) {
        return "has a last split other than its round time";
    }
    if (ghost.samples.size() != steps / ghost.sampleEvery + 1 &&
        ghost.samples.size() != steps / ghost.sampleEvery + 2) {
        return "has samples that its steps do not give";
    }
    return {};
}

// Every control is one the ship's controller can be given: in step order, each strength a
// number from 0 to the strongest a stick can push.
std::string controlSense(const Ghost& ghost) {
    for (std::size_t i = 0; i < ghost.controls.size(); ++i) {
        if (i > 0 && ghost.controls[i].step <= ghost.controls[i - 1].step) {
            return "has controls out of order";
        }
        for (const float strength : ghost.controls[i].state.strengths) {
            if (!(strength >= 0.0f && strength <= HidListener_SceneNodeController::kStrongest)) {
                return "has a control strength outside 0 to 1.414";
            }
        }
    }
    return {};
}

bool finite(const glm::vec3& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool unitQuat(const glm::quat& q) {
    const float length = q.w * q.w + q.x * q.x + q.y * q.y + q.z * q.z;
    return std::isfinite(length) && std::fabs(length - 1.0f) < 1e-3f;
}

// The flight's start is a place: finite numbers, turns that are rotations, a clock no run
// reaches beyond.
std::string startSense(const FlightStart& start) {
    bool place = std::isfinite(start.raceClock) && start.clockStep <= kLatestStartStep &&
                 finite(start.shipPosition) && unitQuat(start.shipOrientation);
    for (const RockStart& rock : start.rocks) {
        place =
            place && finite(rock.position) && finite(rock.velocity) && unitQuat(rock.orientation);
    }
    return place ? std::string() : "has a start that is no place";
}

// What makes a decoded ghost one the game can use; empty when it is.
std::string sense(const Ghost& ghost) {
    if (!(ghost.roundTime > 0.0f) || ghost.splits.empty() || ghost.sampleEvery == 0 ||
        ghost.sampleEvery > kMostSampleEvery || ghost.samples.empty() || ghost.round == 0 ||
        ghost.roundEndStep <= ghost.roundStartStep) {
        return "holds no round";
    }
    if (ghost.roundEndStep > Ghost::kLongestFlight) {
        return "ends its round more than a day into its flight";
    }
    if (std::string problem = roundSense(ghost); !problem.empty()) {
        return problem;
    }
    if (ghost.start) {
        if (std::string problem = startSense(*ghost.start); !problem.empty()) {
            return problem;
        }
    }
    // Format 1 files and the game's own older rounds have no name; any other is a name.
    if (!ghost.playerName.empty() && !playerNameProblem(ghost.playerName).empty()) {
        return "has a player's name that is no name";
    }
    return controlSense(ghost);
}

}  // namespace

const char* gameVersion() {
    return DRIFTLINE_VERSION;
}

GhostSample Ghost::at(float seconds) const {
    if (samples.empty()) {
        return {};
    }
    const float steps = std::max(seconds, 0.0f) / kFixedStep / static_cast<float>(sampleEvery);
    const auto before = static_cast<std::size_t>(steps);
    if (before + 1 >= samples.size()) {
        return samples.back();
    }
    const float within = steps - static_cast<float>(before);
    const GhostSample& a = samples[before];
    const GhostSample& b = samples[before + 1];
    return {glm::mix(a.position, b.position, within),
            glm::slerp(a.orientation, b.orientation, within)};
}

ControlState Ghost::controlsAt(std::uint32_t step) const {
    const auto after = std::upper_bound(
        controls.begin(), controls.end(), step,
        [](std::uint32_t value, const ControlChange& change) { return value < change.step; });
    return after == controls.begin() ? ControlState{} : (after - 1)->state;
}

std::string encodeGhost(const Ghost& ghost) {
    Writer out;
    out.bytes(kMagic, sizeof kMagic);
    // A ghost without its start (read from a format 1 file) is written as it was read.
    out.u32(ghost.start ? Ghost::kFormat : Ghost::kFirstFormat);
    out.text(ghost.gameVersion.substr(0, kLongestText));
    out.text(ghost.courseName.substr(0, kLongestText));
    out.u64(ghost.courseHash);
    out.f32(ghost.roundTime);
    out.u32(static_cast<std::uint32_t>(std::min(ghost.splits.size(), kMostSplits)));
    for (std::size_t i = 0; i < ghost.splits.size() && i < kMostSplits; ++i) {
        out.f32(ghost.splits[i]);
    }
    out.u32(ghost.round);
    out.u8(ghost.fromStart ? 1 : 0);
    out.u32(ghost.roundStartStep);
    out.u32(ghost.roundEndStep);
    out.u32(static_cast<std::uint32_t>(ghost.controls.size()));
    ControlState previous;
    for (const ControlChange& change : ghost.controls) {
        out.u32(change.step);
        out.u8(change.state.held);
        std::uint8_t changed = 0;
        for (std::size_t i = 0; i < ControlState::kDirections; ++i) {
            if (change.state.strengths[i] != previous.strengths[i]) {
                changed = static_cast<std::uint8_t>(changed | (1u << i));
            }
        }
        out.u8(changed);
        for (std::size_t i = 0; i < ControlState::kDirections; ++i) {
            if ((changed & (1u << i)) != 0) {
                out.f32(change.state.strengths[i]);
            }
        }
        previous = change.state;
    }
    out.u32(ghost.sampleEvery);
    out.u32(static_cast<std::uint32_t>(ghost.samples.size()));
    for (const GhostSample& sample : ghost.samples) {
        out.vec3(sample.position);
        out.quat(sample.orientation);
    }
    if (!ghost.start) {
        return out.finish();
    }
    out.text(ghost.playerName.substr(0, kLongestPlayerName));
    const FlightStart& start = *ghost.start;
    out.u64(start.clockStep);
    out.f32(start.raceClock);
    out.vec3(start.shipPosition);
    out.quat(start.shipOrientation);
    out.u32(static_cast<std::uint32_t>(start.rocks.size()));
    for (const RockStart& rock : start.rocks) {
        out.vec3(rock.position);
        out.quat(rock.orientation);
        out.vec3(rock.velocity);
    }
    return out.finish();
}

GhostRead decodeGhost(const std::string& bytes, const std::string& courseName,
                      std::optional<std::uint64_t> courseHash) {
    GhostRead read;
    constexpr std::size_t kSmallest = sizeof kMagic + 4 + 4;
    if (bytes.size() < kSmallest || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0) {
        read.problem = bytes.empty() ? "is empty" : "is not a ghost file";
        return read;
    }
    Reader in(bytes.data() + sizeof kMagic, bytes.size() - sizeof kMagic - 4);
    std::uint32_t format = 0;
    in.u32(format);
    if (format < Ghost::kFirstFormat || format > Ghost::kFormat) {
        read.problem = "is of ghost format " + std::to_string(format) + "; this game reads " +
                       std::to_string(Ghost::kFirstFormat) + " to " +
                       std::to_string(Ghost::kFormat);
        return read;
    }
    std::uint32_t stored = 0;
    Reader tail(bytes.data() + bytes.size() - 4, 4);
    tail.u32(stored);
    if (stored != checksum(bytes.data(), bytes.size() - 4)) {
        read.problem = "has a bad checksum (cut short or changed)";
        return read;
    }
    Ghost ghost;
    ghost.format = format;
    if (!readBody(in, ghost) || in.left() != 0) {
        read.problem = "holds counts its size does not allow";
        return read;
    }
    if (!courseName.empty() && ghost.courseName != courseName) {
        read.problem = "is the ghost of another course (" + ghost.courseName + ")";
        return read;
    }
    if (courseHash && ghost.courseHash != *courseHash) {
        read.problem = "is the ghost of another version of this course";
        return read;
    }
    read.problem = sense(ghost);
    if (read.problem.empty()) {
        read.ghost = std::move(ghost);
    }
    return read;
}

}  // namespace kes
