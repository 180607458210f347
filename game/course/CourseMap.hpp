// A course seen from above, for the course list: the tube's centre line, the rings in their
// order and where the ship starts, fitted into the square from -1 to 1 each way with its shape
// kept (x the world's x, y the world's -z: north up), and the course's length. Made when the
// list is made, for the courses read from files and for a seed's alike.
#pragma once

#include <vector>

#include <glm/glm.hpp>

#include "game/course/Course.hpp"

namespace kes {

struct CourseMap {
    std::vector<glm::vec2> line;   // the centre line, closed (the last point is the first)
    std::vector<glm::vec2> rings;  // ring 0 (the start and finish line) first
    glm::vec2 start{0.0f};         // where the ship is put at the start
    float length = 0.0f;           // units along the course
};

// At most `mostPoints` points on the line (evenly chosen from the course's mid points).
CourseMap courseMap(const Course& course, std::size_t mostPoints = 160);

}  // namespace kes
