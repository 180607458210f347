// The tests fly the race as the game's headless flights do.
#pragma once

#include "game/race/HeadlessRace.hpp"

namespace kes::test {

using kes::HeadlessRace;

}  // namespace kes::test
