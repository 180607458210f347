#include "game/course/Course.hpp"

#include <charconv>

#include "game/course/RacePath.hpp"

namespace kes {
namespace {

// The shortest text that reads back as the same float, whatever the locale.
std::string number(float value) {
    char text[32];
    const auto [end, error] = std::to_chars(std::begin(text), std::end(text), value);
    return error == std::errc() ? std::string(text, end) : std::string("0");
}

std::string triple(const glm::vec3& value) {
    return number(value.x) + " " + number(value.y) + " " + number(value.z);
}

void writePlacement(std::string& text, const char* section, const Placement& placement) {
    text += std::string("[") + section + "]\nCount = " + std::to_string(placement.count) + "\n";
    if (!placement.midPoints.empty()) {
        text += "At =";
        for (const std::uint32_t midPoint : placement.midPoints) {
            text += " " + std::to_string(midPoint);
        }
        text += "\n";
    }
}

// Everything but the title, which does not change how the course flies.
std::string flyingText(const Course& course) {
    std::string text = "[Course]\nFormat = " + std::to_string(Course::kFormat) + "\n";
    text += std::string("Measure = ") +
            (course.measure == CourseMeasure::plane ? "plane" : "curve") + "\n";
    text += "TubeRadius = " + number(course.tubeRadius) + "\n";
    text += "Start = " + std::to_string(course.startMidPoint) + "\n[Points]\n";
    for (const glm::vec3& point : course.controlPoints) {
        text += "Point = " + triple(point) + "\n";
    }
    writePlacement(text, "Zones", course.zones);
    writePlacement(text, "Asteroids", course.asteroids);
    if (course.sun) {
        text += "[Sun]\nPosition = " + triple(course.sun->position) +
                "\nColour = " + triple(course.sun->colour) + "\n";
    }
    return text;
}

}  // namespace

Course firstCourse() {
    Course course;
    course.name = kFirstCourseName;
    course.title = "Prime Loop";
    course.controlPoints = raceControlPoints();
    course.measure = CourseMeasure::plane;
    course.tubeRadius = 25.0f;
    course.zones = {10, {}};
    course.asteroids = {10, {}};
    course.startMidPoint = 5;
    return course;
}

std::string canonicalCourseText(const Course& course) {
    std::string text = flyingText(course);
    text.insert(text.find('\n') + 1, "Title = " + course.title + "\n");
    return text;
}

std::uint64_t courseHash(const Course& course) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : flyingText(course)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

std::string hashText(std::uint64_t hash) {
    char text[17];
    const auto [end, error] = std::to_chars(std::begin(text), std::end(text) - 1, hash, 16);
    const std::string digits(text, end);
    return std::string(16 - digits.size(), '0') + digits;
}

}  // namespace kes
