// Courses as files: the first course's file against the course the game always had, the bundled
// courses' characters, the parser's and the checks' refusals with their lines, courses grown
// from seeds, and every one of them flown whole by the autopilot by fixed steps.
#include "game/course/Course.hpp"

#include <algorithm>
#include <iostream>

#include <gtest/gtest.h>

#include "game/course/CourseCheck.hpp"
#include "game/course/CourseFile.hpp"
#include "game/course/CourseSeed.hpp"
#include "game/level/LevelLayout.hpp"
#include "platform/Files.hpp"
#include "support/FlyRace.hpp"

namespace kes {
namespace {

const std::filesystem::path kCourses =
    std::filesystem::path(DRIFTLINE_SOURCE_DIR) / "assets/courses";

CourseParse parseBundled(const std::string& name) {
    const FileRead file = readRegularFile(kCourses / (name + ".course"));
    EXPECT_EQ(file.status, ReadStatus::ok) << name;
    return parseCourse(file.bytes, name);
}

Course bundled(const std::string& name) {
    CourseParse parsed = parseBundled(name);
    EXPECT_FALSE(parsed.problem) << name << ": " << parsed.problem->text;
    return parsed.course.value_or(Course{});
}

RacePath laidOut(const Course& course) {
    RacePath path;
    path.console = nullptr;
    level::layOutCourse(path, course);
    return path;
}

TEST(CourseTest, TheFirstCourseFileIsTheCourseTheGameAlwaysHad) {
    const Course file = bundled(kFirstCourseName);
    const Course built = firstCourse();
    EXPECT_EQ(canonicalCourseText(file), canonicalCourseText(built));
    EXPECT_EQ(courseHash(file), courseHash(built));

    const RacePath path = laidOut(file);
    EXPECT_NEAR(path.totalLength, 4592.61f, 0.01f);
    ASSERT_EQ(path.midPoints().size(), 460u);
    std::vector<glm::vec3> vertices;
    std::vector<std::uint16_t> indices;
    std::vector<PathMidPoint> centres;
    testing::internal::CaptureStdout();
    path.generateMesh(file.tubeRadius, vertices, indices, centres);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(vertices.size(), 18400u);
    EXPECT_EQ(indices.size(), 36880u);
    // Zones and asteroids where the level's formula always put them.
    EXPECT_EQ(level::zoneMidPoints(file, 460), level::zoneMidPoints(460));
    EXPECT_EQ(level::asteroidMidPoints(file, 460), level::asteroidMidPoints(460));
    EXPECT_EQ(level::sunPosition(file), level::kSunPosition);
}

// The three hand-made courses each have their character, pass the checks, and keep their
// rocks out of the zones' reach.
TEST(CourseTest, TheBundledCoursesClimbRunLongAndTurnTight) {
    const Course ladder = bundled("sky-ladder");
    const RacePath climbing = laidOut(ladder);
    float lowest = 1e9f, highest = -1e9f, unevenest = 0.0f;
    const auto& mids = climbing.midPoints();
    for (std::size_t i = 0; i < mids.size(); ++i) {
        lowest = std::min(lowest, mids[i].position.z);
        highest = std::max(highest, mids[i].position.z);
        if (i + 1 < mids.size()) {
            const float step = glm::distance(mids[i].position, mids[i + 1].position);
            unevenest = std::max(unevenest, std::fabs(step - level::kMidPointSpacing));
        }
    }
    EXPECT_GT(highest - lowest, 400.0f);
    EXPECT_LT(unevenest, 0.25f);  // evenly spaced along the curve in 3-D

    const Course haul = bundled("long-haul");
    EXPECT_GT(laidOut(haul).totalLength, 8000.0f);
    EXPECT_GT(tightestBendRadius(haul), 300.0f);

    const Course knot = bundled("tight-knot");
    EXPECT_LT(laidOut(knot).totalLength, 3000.0f);
    EXPECT_LT(tightestBendRadius(knot), 60.0f);

    for (const Course* course : {&ladder, &haul, &knot}) {
        const CourseCheck check = checkCourse(*course);
        EXPECT_FALSE(check.problem) << course->name << ": " << check.problem->text;
        for (const CourseNote& warning : check.warnings) {
            EXPECT_EQ(warning.text.find("asteroid"), std::string::npos) << course->name;
        }
    }
}

struct BadText {
    const char* text;
    std::size_t line;
    const char* problem;
};

TEST(CourseTest, TextsThatAreNoCourseAreRefusedWithTheirLine) {
    const std::string head = "[Course]\nFormat = 1\n[Points]\n";
    const BadText cases[] = {
        {"", 0, "is empty"},
        {"[Course]\nFormat = 1\n\x01\x02\n", 0, "is not a text file"},
        {"[Points]\nPoint = 1 2 3\n", 0, "has no Format"},
        {"[Course]\nFormat = 2\n", 2, "is of format 2; this game reads format 1"},
        {"Format = 1\n", 1, "has a setting before the first section"},
        {"[Course\nFormat = 1\n", 1, "without its closing bracket"},
        {"[Course]\nFormat = 1\n[Track]\n", 3, "has an unknown section [track]"},
        {"[Course]\nFormat = 1\njust words\n", 3, "neither a section nor"},
        {"[Course]\nFormat = 1\nTubeRadius = nan\n", 3, "TubeRadius that is not a finite number"},
        {"[Course]\nFormat = 1\nMeasure = sideways\n", 3, "Measure other than plane or curve"},
        {"[Course]\nFormat = 1\nStart = -1\n", 3, "Start that is not a whole number"},
        {"[Course]\nFormat = 1\n[Points]\nPoint = 1 2\n", 4, "not three finite numbers"},
        {"[Course]\nFormat = 1\n[Points]\nPoint = 1 2 inf\n", 4, "not three finite numbers"},
        {"[Course]\nFormat = 1\n[Zones]\nCount = 4\nAt = 1 2 3\n", 5, "Count other than"},
        {"[Course]\nFormat = 1\nTitle = \n", 3, "Title that is empty"},
    };
    for (const BadText& bad : cases) {
        const CourseParse parsed = parseCourse(bad.text, "bad");
        ASSERT_TRUE(parsed.problem) << bad.text;
        EXPECT_FALSE(parsed.course);
        EXPECT_EQ(parsed.problem->line, bad.line) << bad.text;
        EXPECT_NE(parsed.problem->text.find(bad.problem), std::string::npos)
            << parsed.problem->text;
    }
    // Comments, blank lines, any case, unknown keys (a warning) and the locale's own commas
    // never reaching the numbers.
    const CourseParse fine = parseCourse(head +
                                             "; a comment\n\nPOINT = 1.5 2 3 ; inline\n"
                                             "Colour = 1 1 1\n",
                                         "fine");
    ASSERT_TRUE(fine.course) << fine.problem->text;
    EXPECT_EQ(fine.course->controlPoints, std::vector<glm::vec3>{glm::vec3(1.5f, 2.0f, 3.0f)});
    ASSERT_EQ(fine.warnings.size(), 1u);
    EXPECT_EQ(fine.warnings[0].line, 7u);
    EXPECT_EQ(fine.course->title, "fine");
}

struct BadCourse {
    const char* what;
    void (*change)(Course&);
    std::size_t line;  // in the file written from the changed course
    const char* problem;
};

// Each check, on the course written out as a file and read back, so problems name their line.
TEST(CourseTest, CoursesThatCannotBeFlownFairlyAreRefused) {
    const BadCourse cases[] = {
        {"three points", [](Course& c) { c.controlPoints.resize(3); }, 0, "at least 4"},
        {"a thin tube", [](Course& c) { c.tubeRadius = 5.0f; }, 5, "tube radius of 5"},
        {"three zones", [](Course& c) { c.zones.count = 3; }, 0, "has 3 zones"},
        {"31 rocks",
         [](Course& c) {
             c.asteroids = {31, {}};
         },
         0, "at most 30"},
        {"a point twice",
         [](Course& c) { c.controlPoints.insert(c.controlPoints.begin() + 2, c.controlPoints[1]); },
         10, "same place"},
        {"too short",
         [](Course& c) {
             for (glm::vec3& p : c.controlPoints)
                 p *= 0.08f;
         },
         0, "units long"},
        {"too long",
         [](Course& c) {
             for (glm::vec3& p : c.controlPoints)
                 p *= 3.0f;
         },
         0, "units long"},
        {"start beyond", [](Course& c) { c.startMidPoint = 5000; }, 6, "starts at mid point 5000"},
        {"zones not rising",
         [](Course& c) {
             c.zones = {4, {10, 5, 300, 600}};
         },
         0, "not rising"},
        {"zones together",
         [](Course& c) {
             c.zones = {4, {10, 15, 300, 600}};
         },
         0, "one touch could check both"},
        {"a hairpin",
         [](Course& c) { c.controlPoints[3] = c.controlPoints[2] + glm::vec3(30, 0, 0); }, 0,
         "tighter than the ship can turn"},
        {"a crossing",
         [](Course& c) {
             c.controlPoints = {
                 {-800, -600, 0}, {800, 600, 10}, {800, -600, 0}, {-800, 600, 10}, {-1200, 0, 5}};
         },
         0, "passes through itself"},
    };
    Course base = bundled("long-haul");
    base.asteroids = {6, {}};  // spread, so a shorter course keeps them on it
    for (const BadCourse& bad : cases) {
        Course changed = base;
        bad.change(changed);
        const CourseParse parsed = parseCourse(canonicalCourseText(changed), "changed");
        ASSERT_TRUE(parsed.course) << bad.what << ": " << parsed.problem->text;
        const CourseCheck check = checkCourse(*parsed.course, parsed.lines);
        ASSERT_TRUE(check.problem) << bad.what;
        EXPECT_NE(check.problem->text.find(bad.problem), std::string::npos)
            << bad.what << ": " << check.problem->text;
        if (bad.line != 0) {
            EXPECT_EQ(check.problem->line, bad.line) << bad.what;
        }
    }
}

// A seed is the same course every time, in every build: the sanitizer build runs this test
// too, against the same figures.
TEST(CourseTest, ASeedGrowsTheSameCourseEverywhereAndAlwaysOneThatPasses) {
    EXPECT_EQ(canonicalCourseText(courseFromSeed(42)), canonicalCourseText(courseFromSeed(42)));
    EXPECT_EQ(hashText(courseHash(courseFromSeed(1))), "5366fdd046776441");
    EXPECT_EQ(hashText(courseHash(courseFromSeed(42))), "0433eed4d111a114");
    EXPECT_EQ(hashText(courseHash(courseFromSeed(4000000000u))), "9e7e4e7b85faf63d");
    EXPECT_NE(courseHash(courseFromSeed(1)), courseHash(courseFromSeed(2)));
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        const Course course = courseFromSeed(seed);
        EXPECT_EQ(course.name, "seed:" + std::to_string(seed));
        EXPECT_FALSE(checkCourse(course).problem) << seed;
    }
    EXPECT_EQ(seedOf("seed:17"), 17u);
    EXPECT_EQ(seedOf("seed:4294967295"), 4294967295u);
    for (const char* name : {"seed:", "seed:-1", "seed:4294967296", "seed:1x", "Seed:1", "17"}) {
        EXPECT_FALSE(seedOf(name)) << name;
    }
}

// The autopilot flies a whole round on every bundled course and on five seeds, by fixed steps.
TEST(CourseTest, TheAutopilotFliesARoundOnEveryCourse) {
    std::vector<Course> courses;
    for (const char* name : {"prime-loop", "sky-ladder", "long-haul", "tight-knot"}) {
        courses.push_back(bundled(name));
    }
    for (std::uint32_t seed : {1u, 2u, 3u, 42u, 1234567u}) {
        courses.push_back(courseFromSeed(seed));
    }
    for (const Course& course : courses) {
        testing::internal::CaptureStdout();
        test::HeadlessRace race(course);
        Autopilot pilot = autopilotFor(race.simulation);
        while (race.simulation.race.roundsFinished == 0 && race.steps < 60 * 300) {
            race.step();
            pilot.step(race.simulation.nextZone());
        }
        const std::string console = testing::internal::GetCapturedStdout();
        EXPECT_EQ(race.simulation.race.roundsFinished, 1u) << course.name << "\n" << console;
    }
}

}  // namespace
}  // namespace kes

namespace kes {
namespace {

// A course may set its own target times; they are not part of what it flies (its hash stays),
// and times that do not fall from bronze to gold are a warning on their line, not a refusal.
TEST(CourseTest, ACoursesOwnTargetTimesAreOptionalAndChecked) {
    const std::string course = canonicalCourseText(firstCourse());
    const CourseParse plain = parseCourse(course, "prime-loop");
    ASSERT_TRUE(plain.course);
    EXPECT_FALSE(plain.course->targets);
    const CourseParse timed =
        parseCourse(course + "[Targets]\nBronze = 80\nSilver = 70.5\nGold = 62\n", "prime-loop");
    ASSERT_TRUE(timed.course && timed.course->targets);
    EXPECT_FLOAT_EQ(timed.course->targets->silver, 70.5f);
    EXPECT_TRUE(timed.warnings.empty());
    EXPECT_EQ(courseHash(*timed.course), courseHash(*plain.course));
    for (const char* bad : {"Bronze = 60\nSilver = 70\nGold = 62\n", "Bronze = 80\nGold = 62\n",
                            "Bronze = 80\nSilver = soon\nGold = 62\n"}) {
        const CourseParse parsed = parseCourse(course + "[Targets]\n" + bad, "prime-loop");
        ASSERT_TRUE(parsed.course) << bad;
        EXPECT_FALSE(parsed.course->targets) << bad;
        ASSERT_EQ(parsed.warnings.size(), 1u) << bad;
        EXPECT_NE(parsed.warnings[0].text.find("the game computes"), std::string::npos);
    }
}

}  // namespace
}  // namespace kes
