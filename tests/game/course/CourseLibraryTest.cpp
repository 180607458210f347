// The game's courses as found on disk: bundled and the player's own, a bad file reported in one
// line naming file, line and reason and moved aside (never over an earlier one), the first
// course always there, and a course chosen by name or seed.
#include "game/course/CourseLibrary.hpp"

#include <sstream>

#include <gtest/gtest.h>

#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::readFile;
using test::TempFolder;

const std::filesystem::path kBundled =
    std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets/courses";

std::vector<std::string> namesOf(const CourseLibrary& library) {
    std::vector<std::string> names;
    for (const Course& course : library.courses()) {
        names.push_back(course.name);
    }
    return names;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(CourseLibraryTest, TheBundledCoursesLoadSilentlyWithTheFirstOneFirst) {
    std::ostringstream console;
    const CourseLibrary library(kBundled, "", console);
    EXPECT_EQ(console.str(), "");
    EXPECT_EQ(namesOf(library),
              (std::vector<std::string>{"prime-loop", "long-haul", "sky-ladder", "tight-knot"}));
    EXPECT_EQ(library.courses()[0].title, "Prime Loop");
    std::ostringstream said;
    EXPECT_EQ(library.choose("tight-knot", said).title, "Tight Knot");
    EXPECT_EQ(library.choose("seed:42", said).name, "seed:42");
    EXPECT_EQ(said.str(), "");
    EXPECT_EQ(library.choose("no-such", said).name, "prime-loop");
    EXPECT_EQ(said.str(), "There is no course \"no-such\"; racing prime-loop instead\n");
}

// A folder of the player's with one good course, one with a warning and bad ones of every
// kind: each bad one is one line and moved aside; the rest load.
TEST(CourseLibraryTest, EachBadFileIsOneLineAndMovedAsideAndTheRestLoad) {
    const TempFolder own;
    const std::string points =
        "[Points]\nPoint = 1800 0 0\nPoint = 0 1300 0\n"
        "Point = -1800 0 0\nPoint = 0 -1300 0\n";
    own.write("diamond.course", "[Course]\nFormat = 1\nTitle = Diamond\n" + points);
    own.write("wobbly.course", "[Course]\nFormat = 1\nColour = red\n" + points);
    own.write("nan.course", "[Course]\nFormat = 1\n[Points]\nPoint = 1 nan 3\n");
    own.write("empty.course", "");
    own.write("noise.course", std::string("\x7f"
                                          "ELF\x02\x01\x01\x00",
                                          8));
    own.write("huge.course", std::string(70000, ';'));
    own.write("tiny.course",
              "[Course]\nFormat = 1\n[Points]\nPoint = 0 0 0\nPoint = 100 0 0\n"
              "Point = 100 100 0\nPoint = 0 100 0\n");
    own.write("long-haul.course", "[Course]\nFormat = 1\n" + points);
    own.write("bad name.course", "[Course]\nFormat = 1\n" + points);
    own.write("noise.course.bad", "an earlier one");
    // Points so far apart that laying the course out would never end, checked before it is.
    own.write("far.course",
              "[Course]\nFormat = 1\n[Points]\nPoint = 300000000 0 0\n"
              "Point = 0 300000000 0\nPoint = -300000000 0 0\n"
              "Point = 0 -300000000 0\n");
    own.write("spread.course",
              "[Course]\nFormat = 1\n[Points]\nPoint = 40000 0 0\n"
              "Point = 0 40000 0\nPoint = -40000 0 0\nPoint = 0 -40000 0\n");
    // A title that is not UTF-8 (and a character the font has not) is made drawable once.
    own.write("mojibake.course",
              "[Course]\nFormat = 1\nTitle = Caf\xC3\xFF Sch\xC3\xB6n \xE2\x82\xAC\n" + points);
    std::filesystem::create_directory(own.path() / "folder.course");
    own.write("notes.txt", "not a course at all");

    std::ostringstream console;
    const CourseLibrary library(kBundled, own.path(), console);
    const std::vector<std::string> lines = linesOf(console.str());
    const auto said = [&](const std::string& part) {
        return std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(part) != std::string::npos;
        });
    };
    const std::string aside = "moved aside as ";
    EXPECT_EQ(said("nan.course line 4 has a Point that is not three finite numbers; " + aside), 1);
    EXPECT_EQ(said("empty.course is empty; " + aside), 1);
    EXPECT_EQ(said("noise.course is not a text file; " + aside +
                   (own.path() / "noise.course.bad.1").string()),
              1);
    EXPECT_EQ(said("huge.course is larger than"), 1);
    EXPECT_EQ(said("tiny.course is 420 units long; a course is 1000 to 20000; " + aside), 1);
    EXPECT_EQ(said("long-haul.course has the name of a bundled course; it is left out"), 1);
    EXPECT_EQ(said("bad name.course has a name other than"), 1);
    EXPECT_EQ(said("folder.course is not a regular file; it is left out"), 1);
    EXPECT_EQ(said("wobbly.course line 3 has an unknown key \"colour\", which is ignored"), 1);
    EXPECT_EQ(said("far.course line 4 has a point 300000000 units from the origin; points "
                   "stand within 50000; " +
                   aside),
              1);
    EXPECT_EQ(
        said("spread.course is at least 226274 units long; a course is 1000 to 20000; " + aside),
        1);
    EXPECT_EQ(said("mojibake.course line 3 has a Title with characters the game cannot show (not "
                   "UTF-8, or outside its font), shown as ?"),
              1);
    EXPECT_EQ(lines.size(), 12u) << console.str();

    EXPECT_EQ(namesOf(library),
              (std::vector<std::string>{"prime-loop", "diamond", "long-haul", "mojibake",
                                        "sky-ladder", "tight-knot", "wobbly"}));
    EXPECT_EQ(library.find("mojibake")->title, "Caf?? Sch\xF6n ?");
    for (const char* name : {"nan", "empty", "huge", "tiny", "far", "spread"}) {
        EXPECT_TRUE(std::filesystem::exists(own.path() / (std::string(name) + ".course.bad")))
            << name;
        EXPECT_FALSE(std::filesystem::exists(own.path() / (std::string(name) + ".course"))) << name;
    }
    EXPECT_EQ(readFile(own.path() / "noise.course.bad"), "an earlier one");
    EXPECT_TRUE(std::filesystem::is_directory(own.path() / "folder.course"));
}

// The first course's file refused or missing: the game's own copy races instead.
TEST(CourseLibraryTest, WithoutItsFileTheFirstCourseIsTheBuiltInOne) {
    const TempFolder bundled;
    bundled.write("prime-loop.course", "[Course]\nFormat = 1\n[Points]\nPoint = 1 2\n");
    std::ostringstream console;
    const CourseLibrary library(bundled.path(), "", console);
    ASSERT_EQ(namesOf(library), std::vector<std::string>{"prime-loop"});
    EXPECT_EQ(courseHash(library.courses()[0]), courseHash(firstCourse()));
    const std::vector<std::string> lines = linesOf(console.str());
    ASSERT_EQ(lines.size(), 2u) << console.str();
    EXPECT_NE(lines[0].find("prime-loop.course line 4 has a Point"), std::string::npos);
    EXPECT_NE(lines[1].find("the game's own copy of the course stands in"), std::string::npos);
}

}  // namespace
}  // namespace kes
