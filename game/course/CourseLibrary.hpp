// The courses a player can race: the bundled ones ("assets/courses/*.course") and the player's
// own (a "courses" folder beside the settings), each read, parsed and checked once at start.
// A file that is not a course that can be flown fairly is reported in one line naming the file,
// the line and the reason, and moved aside as records are ("name.course.bad", never over an
// earlier one); the game goes on with the others. The first course is always there: when its
// file is missing or refused, the one compiled in stands in.
#pragma once

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "game/course/Course.hpp"

namespace kes {

// A course's name as a file gives it: its file name without ".course", of letters, digits,
// "-" and "_", at most 40 characters.
bool isCourseName(const std::string& name);

class CourseLibrary {
public:
    // Reads the courses of `bundled` and then of `own` (either may be missing); a course of
    // the player's with the name of a bundled one is reported and left out. The player's
    // courses' warnings are said too: the bundled ones are checked by the tests.
    CourseLibrary(const std::filesystem::path& bundled, const std::filesystem::path& own,
                  std::ostream& console);
    // Only the first course, as compiled in.
    CourseLibrary();

    // The first course first, then the others by name.
    const std::vector<Course>& courses() const { return m_courses; }
    // The course `name` names: a course of the library, or "seed:N"; nothing for any other.
    std::optional<Course> find(const std::string& name) const;
    // The course `name` names, or the first course with one line on `console` saying so.
    Course choose(const std::string& name, std::ostream& console) const;

private:
    void readFolder(const std::filesystem::path& folder, bool playersOwn, std::ostream& console);
    void readFile(const std::filesystem::path& file, bool playersOwn, std::ostream& console);

    std::vector<Course> m_courses;
};

}  // namespace kes
