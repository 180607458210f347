// The game's four meshes, sized for the colliders the game gives them:
// - "plane2", the ship: flies along +z with up +y; its hull lies within a capsule of radius 2.5
//   and segment length 6 along z, its wings within boxes of half extents (2.5, 2, 2) at x = ±5.
// - "Asteroid1": a rough rock around a capsule of radius 6 and segment length 18 along x.
// - "Targetzone": a gate ring about the x axis, scaled 13.5 by the game to the zone's radius 50.
// - "Arrow": points along +z with unit length, for debug arrows.
#pragma once

#include "MeshBuilder.hpp"

namespace assetgen {

// Texture regions of the ship: v ranges of its one texture sheet.
namespace ShipSheet {
inline constexpr float kHullEnd = 0.5f;    // hull: v 0 (tail) ... 0.5 (nose), u around
inline constexpr float kCanopyEnd = 0.6f;  // cockpit canopy
inline constexpr float kWingEnd = 0.85f;   // wings, u along the span
inline constexpr float kFinEnd = 0.95f;    // fins
}  // namespace ShipSheet

// How finely a mesh is cut. The coarse cuts ("<name>_coarse.ksx") are what the basic quality
// level draws: a software rasteriser shades every vertex on the game's own thread, and a rock's
// relief still shows in its normal map.
enum class Detail { full, coarse };

MeshData makeShip();
MeshData makeAsteroid(Detail detail = Detail::full);
MeshData makeTargetZone(Detail detail = Detail::full);
MeshData makeArrow();

// The asteroid's surface displacement from its capsule, in world units, at a point of the
// capsule; the asteroid textures follow the same relief.
float asteroidRelief(const glm::vec3& capsulePoint);

}  // namespace assetgen
