#include "game/course/CourseLibrary.hpp"

#include <algorithm>
#include <system_error>

#include "game/course/CourseCheck.hpp"
#include "game/course/CourseFile.hpp"
#include "game/course/CourseSeed.hpp"
#include "platform/Files.hpp"

namespace kes {
namespace {

constexpr std::size_t kLongestName = 40;
constexpr const char* kExtension = ".course";

std::string where(const std::filesystem::path& file, std::size_t line) {
    return "The course file " + file.string() + (line != 0 ? " line " + std::to_string(line) : "");
}

// Moves a refused file aside and says so, with what is wrong, in one line.
void refuse(const std::filesystem::path& file, const CourseNote& problem, std::ostream& console) {
    std::string moveProblem;
    const auto aside = moveAside(file, moveProblem);
    console << where(file, problem.line) << " " << problem.text << "; "
            << (aside ? "moved aside as " + aside->string() : "left as it is (" + moveProblem + ")")
            << ", and the course left out" << std::endl;
}

}  // namespace

bool isCourseName(const std::string& name) {
    return !name.empty() && name.size() <= kLongestName &&
           std::all_of(name.begin(), name.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == '-' || c == '_';
           });
}

CourseLibrary::CourseLibrary() : m_courses{firstCourse()} {}

CourseLibrary::CourseLibrary(const std::filesystem::path& bundled, const std::filesystem::path& own,
                             std::ostream& console) {
    readFolder(bundled, false, console);
    const auto first = std::find_if(m_courses.begin(), m_courses.end(),
                                    [](const Course& c) { return c.name == kFirstCourseName; });
    if (first == m_courses.end()) {
        console << "The first course's file " << (bundled / "prime-loop.course").string()
                << " could not be used; the game's own copy of the course stands in" << std::endl;
        m_courses.push_back(firstCourse());
    }
    readFolder(own, true, console);
    std::sort(m_courses.begin(), m_courses.end(), [](const Course& a, const Course& b) {
        const bool aFirst = a.name == kFirstCourseName;
        const bool bFirst = b.name == kFirstCourseName;
        return aFirst != bFirst ? aFirst : a.name < b.name;
    });
}

void CourseLibrary::readFolder(const std::filesystem::path& folder, bool playersOwn,
                               std::ostream& console) {
    std::error_code error;
    if (folder.empty() || !std::filesystem::exists(folder, error)) {
        return;
    }
    if (!std::filesystem::is_directory(folder, error)) {
        console << "The courses folder " << folder.string()
                << " is not a folder; no course is read from it" << std::endl;
        return;
    }
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->path().extension() == kExtension) {
            files.push_back(entry->path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        readFile(file, playersOwn, console);
    }
}

void CourseLibrary::readFile(const std::filesystem::path& file, bool playersOwn,
                             std::ostream& console) {
    const std::string name = file.stem().string();
    if (!isCourseName(name)) {
        console << where(file, 0)
                << " has a name other than up to 40 letters, digits, - and _; it is left out"
                << std::endl;
        return;
    }
    if (find(name)) {
        console << where(file, 0) << " has the name of a bundled course; it is left out"
                << std::endl;
        return;
    }
    const FileRead read = readRegularFile(file, kMaxCourseFileBytes);
    switch (read.status) {
        case ReadStatus::ok: break;
        case ReadStatus::tooLarge: refuse(file, {0, read.problem}, console); return;
        case ReadStatus::missing:
        case ReadStatus::unreadable:
        case ReadStatus::notRegular:
            console << where(file, 0) << " " << read.problem << "; it is left out" << std::endl;
            return;
    }
    CourseParse parsed = parseCourse(read.bytes, name);
    if (parsed.problem) {
        refuse(file, *parsed.problem, console);
        return;
    }
    const CourseCheck check = checkCourse(*parsed.course, parsed.lines);
    if (check.problem) {
        refuse(file, *check.problem, console);
        return;
    }
    if (playersOwn) {
        std::vector<CourseNote> warnings = parsed.warnings;
        warnings.insert(warnings.end(), check.warnings.begin(), check.warnings.end());
        for (const CourseNote& warning : warnings) {
            console << where(file, warning.line) << " " << warning.text << std::endl;
        }
    }
    m_courses.push_back(std::move(*parsed.course));
}

std::optional<Course> CourseLibrary::find(const std::string& name) const {
    if (const auto seed = seedOf(name)) {
        return courseFromSeed(*seed);
    }
    const auto found = std::find_if(m_courses.begin(), m_courses.end(),
                                    [&](const Course& course) { return course.name == name; });
    return found != m_courses.end() ? std::optional<Course>(*found) : std::nullopt;
}

Course CourseLibrary::choose(const std::string& name, std::ostream& console) const {
    if (auto course = find(name)) {
        return std::move(*course);
    }
    console << "There is no course \"" << name << "\"; racing " << kFirstCourseName << " instead"
            << std::endl;
    return *find(kFirstCourseName);
}

}  // namespace kes
