// The game's icon for the desktop's menus: the amber ring of the next zone on a night-blue disc,
// the ship's white arrow flying up through it. Painted at any size, edges smoothed over one
// pixel, on a transparent background.
#pragma once

#include "Image.hpp"

namespace assetgen {

// The sizes the desktop's icon theme asks for, in pixels.
inline constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// RGBA, `size` x `size`.
Image paintIcon(int size);

}  // namespace assetgen
