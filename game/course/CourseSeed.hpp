// Courses grown from a number: "seed:N" is always the same course on any machine, and always
// one that passes the course checks, so a player can share a course by its seed.
//
// Growing one: 8 to 13 random points in a square, their convex hull, a point pushed out or in
// between each two hull points, points pushed apart until none is crowded, sharp corners opened
// up, heights added (a gentle swell), then the closed spline through them. Only additions,
// multiplications, divisions and square roots are used (correctly rounded everywhere), the
// random numbers are the generator's own (SplitMix64), and the points are rounded to whole
// units: no standard library distribution or trigonometric function whose results differ
// between implementations. A course that fails the checks is grown again from the next of the
// seed's own numbers until one passes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "game/course/Course.hpp"

namespace kes {

// "seed:42" -> 42; nothing for any other text (only decimal digits, up to 2^32 - 1).
std::optional<std::uint32_t> seedOf(const std::string& courseName);

// The course of `seed`, named "seed:<seed>".
Course courseFromSeed(std::uint32_t seed);

// The generator: SplitMix64, the same sequence on every machine.
class SeedSequence {
public:
    explicit SeedSequence(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next();
    // A number in [0, 1) with 24 random bits, exact in a float.
    float unit();
    // A whole number in [lowest, highest].
    std::uint32_t between(std::uint32_t lowest, std::uint32_t highest);

private:
    std::uint64_t m_state;
};

}  // namespace kes
