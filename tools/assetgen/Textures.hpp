// Material textures of the ship and the asteroid, named by the suffixes the game looks for:
// _albedo (RGBA), _normal (RGB, tangent space: red along +u, green along +v, blue out of the
// surface), _metal and _roughness (grey), _emissive (RGB).
#pragma once

#include <map>
#include <string>

#include "Image.hpp"

namespace assetgen {

// Suffix ("albedo", "normal", ...) to picture.
using TextureSet = std::map<std::string, Image>;

TextureSet paintShipTextures(int size);
TextureSet paintAsteroidTextures(int size);

}  // namespace assetgen
