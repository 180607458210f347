#include "game/course/CourseFile.hpp"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

#include "text/DrawableText.hpp"

namespace kes {
namespace {

constexpr std::size_t kLongestTitle = 40;

std::string lower(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// A comment fills a line that starts with ";" or "#", or follows a value after a space.
std::string_view withoutComment(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.front() == ';' || line.front() == '#') {
        return {};
    }
    for (std::size_t i = 1; i < line.size(); ++i) {
        if (line[i] == ';' && (line[i - 1] == ' ' || line[i - 1] == '\t')) {
            return trim(line.substr(0, i));
        }
    }
    return line;
}

// Text: no NUL and no control character but tab, carriage return and newline.
bool isText(const std::string& bytes) {
    return std::none_of(bytes.begin(), bytes.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 && c != '\t' && c != '\r' && c != '\n';
    });
}

std::vector<std::string_view> words(std::string_view text) {
    std::vector<std::string_view> result;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto start = text.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) {
            break;
        }
        const auto end = std::min(text.find_first_of(" \t", start), text.size());
        result.push_back(text.substr(start, end - start));
        at = end;
    }
    return result;
}

bool readFinite(std::string_view word, float& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size() && std::isfinite(value);
}

bool readWhole(std::string_view word, std::uint32_t& value) {
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

class Parser {
public:
    explicit Parser(const std::string& name) { m_course.name = name; }

    CourseParse run(const std::string& text) {
        if (text.empty()) {
            return refused(0, "is empty");
        }
        if (!isText(text)) {
            return refused(0, "is not a text file");
        }
        std::size_t begin = 0;
        while (begin <= text.size() && !m_result.problem) {
            const std::size_t end = std::min(text.find('\n', begin), text.size());
            ++m_line;
            readLine(withoutComment(std::string_view(text).substr(begin, end - begin)));
            begin = end + 1;
        }
        if (!m_result.problem) {
            checkComplete();
        }
        if (!m_result.problem) {
            m_result.course = std::move(m_course);
        }
        return std::move(m_result);
    }

private:
    CourseParse refused(std::size_t line, std::string reason) {
        m_result.problem = CourseNote{line, std::move(reason)};
        return std::move(m_result);
    }
    void fail(std::string reason) { m_result.problem = CourseNote{m_line, std::move(reason)}; }
    void warn(std::string text) { m_result.warnings.push_back({m_line, std::move(text)}); }

    void readLine(std::string_view line) {
        if (line.empty()) {
            return;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                fail("has a section name without its closing bracket");
                return;
            }
            openSection(lower(trim(line.substr(1, line.size() - 2))));
            return;
        }
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            fail("has a line that is neither a section nor \"key = value\"");
            return;
        }
        if (m_section.empty()) {
            fail("has a setting before the first section");
            return;
        }
        readSetting(lower(trim(line.substr(0, equals))), trim(line.substr(equals + 1)));
    }

    void openSection(const std::string& section) {
        static const std::string_view kSections[] = {"course",    "points", "zones",
                                                     "asteroids", "sun",    "targets"};
        if (std::find(std::begin(kSections), std::end(kSections), section) == std::end(kSections)) {
            fail("has an unknown section [" + section + "]");
            return;
        }
        m_section = section;
        if (section == "sun") {
            m_course.sun = CourseSun{};
        }
        if (section == "targets") {
            m_course.targets = CourseTargets{};
            m_targetsLine = m_line;
        }
    }

    void readSetting(const std::string& key, std::string_view value) {
        if (m_section == "course") {
            readCourseSetting(key, value);
        } else if (m_section == "points") {
            readPoint(key, value);
        } else if (m_section == "sun") {
            readSunSetting(key, value);
        } else if (m_section == "targets") {
            readTarget(key, value);
        } else {
            readPlacement(key, value, m_section == "zones" ? m_course.zones : m_course.asteroids,
                          m_section == "zones" ? m_result.lines.zones : m_result.lines.asteroids);
        }
    }

    void readCourseSetting(const std::string& key, std::string_view value) {
        if (key == "format") {
            std::uint32_t format = 0;
            if (!readWhole(value, format)) {
                fail("has a Format that is not a whole number");
            } else if (format != Course::kFormat) {
                fail("is of format " + std::to_string(format) + "; this game reads format " +
                     std::to_string(Course::kFormat));
            }
            m_sawFormat = true;
        } else if (key == "title") {
            readTitle(value);
        } else if (key == "measure") {
            readMeasure(value);
        } else if (key == "tuberadius") {
            m_result.lines.tubeRadius = m_line;
            if (!readFinite(value, m_course.tubeRadius)) {
                fail("has a TubeRadius that is not a finite number");
            }
        } else if (key == "start") {
            m_result.lines.start = m_line;
            if (!readWhole(value, m_course.startMidPoint)) {
                fail("has a Start that is not a whole number");
            }
        } else {
            warn("has an unknown key \"" + key + "\", which is ignored");
        }
    }

    void readTitle(std::string_view value) {
        if (value.empty() || value.size() > kLongestTitle) {
            fail("has a Title that is empty or longer than " + std::to_string(kLongestTitle) +
                 " characters");
            return;
        }
        const DrawableText title = drawableText(value);
        m_course.title = title.text;
        if (title.replaced) {
            warn(
                "has a Title with characters the game cannot show (not UTF-8, or outside its "
                "font), shown as ?");
        }
    }

    void readMeasure(std::string_view value) {
        const std::string word = lower(value);
        if (word == "plane") {
            m_course.measure = CourseMeasure::plane;
        } else if (word == "curve") {
            m_course.measure = CourseMeasure::curve;
        } else {
            fail("has a Measure other than plane or curve");
        }
    }

    void readPoint(const std::string& key, std::string_view value) {
        if (key != "point") {
            warn("has an unknown key \"" + key + "\", which is ignored");
            return;
        }
        if (m_course.controlPoints.size() >= Course::kMostPoints) {
            fail("has more than " + std::to_string(Course::kMostPoints) + " points");
            return;
        }
        const auto parts = words(value);
        glm::vec3 point(0.0f);
        if (parts.size() != 3 || !readFinite(parts[0], point.x) || !readFinite(parts[1], point.y) ||
            !readFinite(parts[2], point.z)) {
            fail("has a Point that is not three finite numbers");
            return;
        }
        m_course.controlPoints.push_back(point);
        m_result.lines.points.push_back(m_line);
    }

    void readPlacement(const std::string& key, std::string_view value, Placement& placement,
                       std::size_t& line) {
        if (key == "count") {
            if (!readWhole(value, placement.count)) {
                fail("has a Count that is not a whole number");
            } else if (!placement.midPoints.empty() &&
                       placement.count != placement.midPoints.size()) {
                fail("has a Count other than the number of mid points listed At");
            }
            line = line == 0 ? m_line : line;
        } else if (key == "at") {
            const bool counted = line != 0;
            placement.midPoints.clear();
            for (const std::string_view word : words(value)) {
                std::uint32_t midPoint = 0;
                if (!readWhole(word, midPoint) || placement.midPoints.size() >= 64) {
                    fail("has an At list that is not up to 64 whole numbers");
                    return;
                }
                placement.midPoints.push_back(midPoint);
            }
            if (counted && placement.count != placement.midPoints.size()) {
                fail("has a Count other than the number of mid points listed At");
            }
            placement.count = static_cast<std::uint32_t>(placement.midPoints.size());
            line = m_line;
        } else {
            warn("has an unknown key \"" + key + "\", which is ignored");
        }
    }

    void readSunSetting(const std::string& key, std::string_view value) {
        glm::vec3* target = key == "position"                   ? &m_course.sun->position
                            : key == "colour" || key == "color" ? &m_course.sun->colour
                                                                : nullptr;
        if (target == nullptr) {
            warn("has an unknown key \"" + key + "\", which is ignored");
            return;
        }
        const auto parts = words(value);
        if (parts.size() != 3 || !readFinite(parts[0], target->x) ||
            !readFinite(parts[1], target->y) || !readFinite(parts[2], target->z)) {
            fail("has a sun " + key + " that is not three finite numbers");
        }
    }

    void readTarget(const std::string& key, std::string_view value) {
        float* target = key == "bronze"   ? &m_course.targets->bronze
                        : key == "silver" ? &m_course.targets->silver
                        : key == "gold"   ? &m_course.targets->gold
                                          : nullptr;
        const auto parts = words(value);
        if (target == nullptr) {
            warn("has an unknown key \"" + key + "\", which is ignored");
        } else if (parts.size() != 1 || !readFinite(parts[0], *target) || *target <= 0.0f) {
            warn("has a " + key +
                 " time that is not a number of seconds; the game computes "
                 "the targets");
            m_targetsSaid = true;
        }
    }

    // Times that do not fall from bronze to gold are no targets: the game's own are used.
    void checkTargets() {
        const std::optional<CourseTargets>& t = m_course.targets;
        if (!t) {
            return;
        }
        const bool falling = t->gold > 0.0f && t->silver > t->gold && t->bronze > t->silver;
        if (!falling && !m_targetsSaid) {
            const std::size_t at = m_line;
            m_line = m_targetsLine;
            warn(
                "has target times that do not fall from bronze to silver to gold; the game "
                "computes them");
            m_line = at;
        }
        if (!falling || m_targetsSaid) {
            m_course.targets.reset();
        }
    }

    void checkComplete() {
        checkTargets();
        m_line = 0;
        if (!m_sawFormat) {
            fail("has no Format in its [Course] section");
        } else if (m_course.title.empty()) {
            m_course.title = m_course.name;
        }
    }

    Course m_course;
    CourseParse m_result;
    std::string m_section;
    std::size_t m_line = 0;
    bool m_sawFormat = false;
    std::size_t m_targetsLine = 0;
    bool m_targetsSaid = false;  // a target time was refused, in a line of its own
};

}  // namespace

CourseParse parseCourse(const std::string& text, const std::string& name) {
    return Parser(name).run(text);
}

}  // namespace kes
