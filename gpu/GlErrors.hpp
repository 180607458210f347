// GL reports errors through one set of flags that every call shares: a check after our own
// calls would also see an error an earlier call (ours, or a driver's) left there. Resources
// made while the game runs take those earlier errors first, so a check fails only for its own
// calls, and the earlier ones are still told rather than swallowed.
#pragma once

#include <cstdint>
#include <iosfwd>

namespace kes {

// Empties the error flags; prints one line for each error found, naming `before`, the step
// about to be checked. Returns how many there were.
std::uint32_t takeEarlierGlErrors(const char* before, std::ostream& console);
std::uint32_t takeEarlierGlErrors(const char* before);

}  // namespace kes
