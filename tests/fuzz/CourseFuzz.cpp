// Fuzzes the course reader and its checks: any bytes as a course file must be refused with a
// line or read into a course that the checks then pass or refuse, always in bounded time and
// memory (points far apart once laid out for ever), and a course read has a title every
// character of which the game can draw.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/course/CourseCheck.hpp"
#include "game/course/CourseFile.hpp"
#include "game/course/CourseLayout.hpp"
#include "text/GlyphSet.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const kes::CourseParse parsed = kes::parseCourse(text, "fuzz");
    if (!parsed.course) {
        if (!parsed.problem) {
            std::abort();  // refused without saying why
        }
        return 0;
    }
    for (const char c : parsed.course->title) {
        if (kes::glyphSet.find(c) == std::string_view::npos) {
            std::abort();  // a title the text renderer would complain about every frame
        }
    }
    const kes::CourseCheck check = kes::checkCourse(*parsed.course, parsed.lines);
    if (check.problem) {
        return 0;
    }
    kes::RacePath path;
    path.console = nullptr;
    kes::level::layOutCourse(path, *parsed.course);
    if (path.totalLength > kes::CourseLimits::kLongest || path.midPoints().size() > 2100) {
        std::abort();  // a course passed the checks that is longer than a course may be
    }
    return 0;
}
