// The records file: what it holds, what counts as broken, and that a broken file is kept aside
// and a record is never half written.
#include "game/race/Records.hpp"

#include <chrono>
#include <filesystem>
#include <future>
#include <random>
#include <sstream>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "game/race/FastestRound.hpp"
#include "platform/Files.hpp"
#include "support/TempFolder.hpp"

namespace kes {
namespace {

using test::readFile;
using test::TempFolder;
using Saved = RecordsFile::Saved;

RaceRecord tenZones(float secondsAZone) {
    RaceRecord record{10.0f * secondsAZone, {}};
    for (int zone = 1; zone <= 10; ++zone) {
        record.splits.push_back(static_cast<float>(zone) * secondsAZone);
    }
    return record;
}

TEST(Records, ARecordComesBackAsItWasWritten) {
    TempFolder folder;
    RecordsFile file(folder.path(), 10);
    std::ostringstream console;
    EXPECT_FALSE(file.load(console));  // no file: no record, nothing said
    EXPECT_EQ(console.str(), "");

    ASSERT_EQ(file.save(tenZones(4.25f), console), Saved::stored);
    const auto back = file.load(console);
    ASSERT_TRUE(back);
    EXPECT_FLOAT_EQ(back->bestTime, 42.5f);
    EXPECT_EQ(back->splits, tenZones(4.25f).splits);
    EXPECT_EQ(console.str(), "");
    // Only the record and the lock file beside it are left in the folder: the temporary file
    // went by rename.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()),
                            std::filesystem::directory_iterator()),
              2);
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "records.ini.lock"));
    EXPECT_NE(readFile(file.path()).find("[Records]\nBestTime = 42.5\n"), std::string::npos);
}

// Each course has its record: by name and hash, so an edited course starts afresh; the file as
// it was before courses, one [Records] section, is the first course's; records of other
// courses, present or gone, are written back as they were.
TEST(Records, EachCourseKeepsItsOwnRecordAndTheOthersAreKept) {
    TempFolder folder;
    folder.write("records.ini", formatRecord(tenZones(5.0f)));  // a file from before courses
    std::ostringstream console;
    RecordsFile first(folder.path(), 10);
    const auto old = first.load(console);
    ASSERT_TRUE(old);
    EXPECT_FLOAT_EQ(old->bestTime, 50.0f);

    const CourseKey seed{"seed:42", 0x0433eed4d111a114ull};
    RecordsFile seeded(folder.path(), 10, seed);
    EXPECT_FALSE(seeded.load(console));
    ASSERT_EQ(seeded.save(tenZones(3.0f), console), Saved::stored);
    const CourseKey gone{"old-course", 0x1234ull};
    RecordsFile other(folder.path(), 10, gone);
    EXPECT_FALSE(other.load(console));
    ASSERT_EQ(other.save(tenZones(7.0f), console), Saved::stored);

    const std::string text = readFile(folder.path() / "records.ini");
    EXPECT_NE(text.find("[Records]\nBestTime = 50\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Records seed:42 0433eed4d111a114]\nBestTime = 30\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("[Records old-course 0000000000001234]\nBestTime = 70\n"),
              std::string::npos)
        << text;

    // The first course edited: another hash, no record; its new record leaves the old one.
    Course edited = firstCourse();
    edited.tubeRadius = 26.0f;
    RecordsFile changed(folder.path(), 10, keyOf(edited));
    EXPECT_FALSE(changed.load(console));
    ASSERT_EQ(changed.save(tenZones(6.0f), console), Saved::stored);
    RecordsFile again(folder.path(), 10);
    ASSERT_TRUE(again.load(console));
    EXPECT_FLOAT_EQ(again.load(console)->bestTime, 50.0f);
    RecordsFile seededAgain(folder.path(), 10, seed);
    EXPECT_FLOAT_EQ(seededAgain.load(console)->bestTime, 30.0f);
    EXPECT_EQ(console.str(), "");

    // The seeded course edited to eight zones while its section has ten splits (a player's own
    // course edited since): that section is skipped with one line and kept as it stands, and
    // the file with every other course's record stays where it is.
    const std::string before = readFile(folder.path() / "records.ini");
    RecordsFile fewer(folder.path(), 8, seed);
    EXPECT_FALSE(fewer.load(console));
    EXPECT_EQ(console.str(), "The records file " + fewer.path().string() +
                                 " has 10 splits instead of 8 in [Records seed:42 "
                                 "0433eed4d111a114]; that record is skipped and kept in the file "
                                 "as it is\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "records.ini.bad"));
    EXPECT_EQ(readFile(folder.path() / "records.ini"), before);
    RecordsFile firstAfter(folder.path(), 10);
    EXPECT_FLOAT_EQ(firstAfter.load(console)->bestTime, 50.0f);
    // A section whose values are no record at all is its own problem too, and another
    // course's record is saved beside it with the broken one written back as it was.
    folder.write("records.ini", before +
                                    "\n[Records mine 00000000000000aa]\nBestTime = soon\n"
                                    "Splits = 1 2 3\n");
    std::ostringstream said;
    RecordsFile mine(folder.path(), 3, CourseKey{"mine", 0xaa});
    EXPECT_FALSE(mine.load(said));
    EXPECT_NE(said.str().find("has no positive BestTime in [Records mine"), std::string::npos)
        << said.str();
    ASSERT_EQ(seededAgain.save(tenZones(2.0f), said), Saved::stored);
    EXPECT_NE(readFile(folder.path() / "records.ini")
                  .find("[Records mine 00000000000000aa]\nBestTime = soon\nSplits = 1 2 3\n"),
              std::string::npos);
    EXPECT_FLOAT_EQ(firstAfter.load(said)->bestTime, 50.0f);
}

// A record faster than its course can be flown is no record of it: 0.010 s on the first
// course is skipped like any section that does not fit, the file is kept, and a real round
// replaces it. The bound lies below what the autopilot flies with the full bonus.
TEST(Records, ARecordFasterThanTheCourseAllowsIsSkipped) {
    TempFolder folder;
    const Course course = firstCourse();
    const RecordFit fit = recordFitOf(course);
    ASSERT_EQ(fit.fastestSplits.size(), 10u);
    EXPECT_GT(fit.fastestSplits.back(), 10.0f);
    EXPECT_LT(fit.fastestSplits.back(), 30.0f);
    RaceRecord hacked = tenZones(0.001f);
    folder.write("records.ini", formatRecord(hacked));
    std::ostringstream console;
    RecordsFile file(folder.path(), fit, keyOf(course));
    EXPECT_FALSE(file.load(console));
    EXPECT_NE(console.str().find("has a time of 0.010 s, faster than the course can be flown"),
              std::string::npos)
        << console.str();
    EXPECT_EQ(readFile(file.path()), formatRecord(hacked));
    EXPECT_EQ(file.save(tenZones(5.0f), console), Saved::stored);
    RecordsFile again(folder.path(), fit, keyOf(course));
    EXPECT_FLOAT_EQ(again.load(console)->bestTime, 50.0f);
}

// Every record the game writes reads back as itself, to the bit: random valid records, with
// splits from a ten-thousandth of a second to an hour.
TEST(Records, EveryRecordWrittenReadsBackAsItself) {
    std::mt19937 random(35);
    std::uniform_real_distribution<float> step(0.0001f, 360.0f);
    for (int round = 0; round < 2000; ++round) {
        RaceRecord record;
        float time = 0.0f;
        for (int zone = 0; zone < 10; ++zone) {
            time += step(random);
            record.splits.push_back(time);
        }
        record.bestTime = time;
        std::string problem;
        const auto back = parseRecord(formatRecord(record), 10, problem);
        ASSERT_TRUE(back) << problem << "\n" << formatRecord(record);
        ASSERT_EQ(back->splits, record.splits) << formatRecord(record);
        ASSERT_EQ(back->bestTime, record.bestTime);
    }
}

// Two copies of the game at once, each with the file read at its start: neither loses the
// other's records, and the faster record of a course stays.
TEST(Records, TwoCopiesOfTheGameKeepEachOthersRecords) {
    TempFolder folder;
    std::ostringstream console;
    const CourseKey seed{"seed:3", 3};
    RecordsFile first(folder.path(), 10);
    RecordsFile second(folder.path(), 10, seed);
    RecordsFile third(folder.path(), 10);
    EXPECT_FALSE(first.load(console));
    EXPECT_FALSE(second.load(console));
    EXPECT_FALSE(third.load(console));
    ASSERT_EQ(second.save(tenZones(3.0f), console), Saved::stored);
    ASSERT_EQ(first.save(tenZones(4.0f), console),
              Saved::stored);  // read before the second one wrote
    EXPECT_EQ(third.save(tenZones(5.0f), console),
              Saved::fasterKept);  // slower than the first one's
    RecordsFile seeded(folder.path(), 10, seed);
    RecordsFile firstCourse(folder.path(), 10);
    EXPECT_FLOAT_EQ(seeded.load(console)->bestTime, 30.0f);
    EXPECT_FLOAT_EQ(firstCourse.load(console)->bestTime, 40.0f);
    EXPECT_EQ(console.str(), "");
}

// A copy of the game that has read the file and is writing its merge holds the lock beside the
// file; a save in this copy waits for it, then merges what that copy wrote, so neither round's
// record is lost (without the lock, the other copy's write, merged before this save, lands
// over it).
TEST(Records, ASaveWaitsForTheOtherCopysMergeAndKeepsItsRecord) {
    TempFolder folder;
    std::ostringstream console;
    RecordsFile mine(folder.path(), 10);
    EXPECT_FALSE(mine.load(console));
    const int otherCopy =
        ::open((folder.path() / "records.ini.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(otherCopy, 0);
    ASSERT_EQ(::flock(otherCopy, LOCK_EX), 0);
    std::ostringstream saving;
    auto saved = std::async(std::launch::async, [&] { return mine.save(tenZones(4.0f), saving); });
    EXPECT_EQ(saved.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    // The other copy read the file before this save and writes its own merge: one record.
    RecordsFile other(folder.path(), 10, CourseKey{"seed:3", 3});
    std::ostringstream unsaid;
    other.load(unsaid);
    const std::string otherText = formatRecord(tenZones(3.0f));
    std::string section = otherText;
    section.replace(section.find("[Records]"), 9, "[Records seed:3 0000000000000003]");
    ASSERT_FALSE(writeFileAtomically(folder.path() / "records.ini", section).problem);
    ::close(otherCopy);
    EXPECT_EQ(saved.get(), Saved::stored);
    RecordsFile firstCourse(folder.path(), 10);
    RecordsFile seeded(folder.path(), 10, CourseKey{"seed:3", 3});
    ASSERT_TRUE(firstCourse.load(console));
    ASSERT_TRUE(seeded.load(console));
    EXPECT_FLOAT_EQ(firstCourse.load(console)->bestTime, 40.0f);
    EXPECT_FLOAT_EQ(seeded.load(console)->bestTime, 30.0f);
    EXPECT_EQ(console.str() + saving.str(), "");
}

TEST(Records, TextsThatAreNoRecordSayWhy) {
    std::string problem;
    EXPECT_TRUE(parseRecord(formatRecord(tenZones(3.0f)), 10, problem)) << problem;
    const std::pair<const char*, const char*> broken[] = {
        {"[Records]\nSplits = 1 2 3 4 5 6 7 8 9 10\n", "no positive BestTime"},
        {"[Records]\nBestTime = 10\nSplits = 1 2 3\n", "3 splits instead of 10"},
        {"[Records]\nBestTime = 10\nSplits = 1 2 3 4 5 6 7 8 10 9\n", "do not rise"},
        {"[Records]\nBestTime = 12\nSplits = 1 2 3 4 5 6 7 8 9 10\n", "other than BestTime"},
        {"[Records]\nBestTime = 10\nSplits = 1 2 x 4 5 6 7 8 9 10\n", "not numbers"},
        {"[Records]\nBestTime = nan\nSplits = 1 2 3 4 5 6 7 8 9 10\n", "no positive BestTime"},
        {"[Records\nBestTime = 10\n", "cannot be parsed (line 1)"},
        {"[Records]\nBestTime = 10 seconds, honest\nSplits = 1 2 3 4 5 6 7 8 9 10\n",
         "no positive BestTime"},
        {"[Records]\nBestTime = 10\nSplits = 1 2 3 4 5 6 7 8 9 10s\n", "not numbers"},
    };
    for (const auto& [text, why] : broken) {
        EXPECT_FALSE(parseRecord(text, 10, problem)) << text;
        EXPECT_NE(problem.find(why), std::string::npos) << text << " -> " << problem;
    }
}

// Random bytes are moved aside whole, reported in one line (also when a NUL comes before the
// first line ends, which would read as an empty file), and a later record is written beside
// them, never over them.
TEST(Records, ABrokenFileIsMovedAsideNeverDeleted) {
    TempFolder folder;
    std::string garbage(4096, '\0');
    std::mt19937 random(7);
    for (char& byte : garbage) {
        byte = static_cast<char>(random());
    }
    garbage[3] = '\0';
    folder.write("records.ini", garbage);
    RecordsFile file(folder.path(), 10);
    std::ostringstream console;
    EXPECT_FALSE(file.load(console));
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad"), garbage);
    EXPECT_FALSE(std::filesystem::exists(file.path()));
    const std::string said = console.str();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("moved aside as"), std::string::npos) << said;

    ASSERT_EQ(file.save(tenZones(5.0f), console), Saved::stored);
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad"), garbage);

    // A second broken file, in a later run, goes beside the first, never over it.
    folder.write("records.ini", "[Records\nBestTime = oops\n");
    RecordsFile later(folder.path(), 10);
    EXPECT_FALSE(later.load(console));
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad"), garbage);
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad.1"), "[Records\nBestTime = oops\n");
}

// A records file the game cannot open is no broken record: moving it aside would let the next
// slow round become the record. It stays, and nothing is written over it this run.
TEST(Records, AFileThatCannotBeOpenedIsLeftAloneAndNotWrittenOver) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "records.ini");
    RecordsFile file(folder.path(), 10);
    std::ostringstream console;
    EXPECT_FALSE(file.load(console));
    EXPECT_EQ(console.str(), "The records file " + file.path().string() +
                                 " is not a regular file; records are not kept this run\n");
    EXPECT_EQ(file.save(tenZones(5.0f), console), Saved::notWritten);
    EXPECT_TRUE(std::filesystem::is_directory(file.path()));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "records.ini.bad"));

    // Out of file descriptors: the real record is there, it just cannot be opened now.
    TempFolder crowded;
    RecordsFile kept(crowded.path(), 10);
    ASSERT_EQ(kept.save(tenZones(4.0f), console), Saved::stored);
    const std::string before = readFile(kept.path());
    RecordsFile blocked(crowded.path(), 10);
    std::ostringstream said;
    {
        rlimit old{};
        getrlimit(RLIMIT_NOFILE, &old);
        const int lowestFree = ::dup(0);
        ::close(lowestFree);
        const rlimit none{static_cast<rlim_t>(lowestFree), old.rlim_max};
        setrlimit(RLIMIT_NOFILE, &none);
        EXPECT_FALSE(blocked.load(said));
        setrlimit(RLIMIT_NOFILE, &old);
    }
    EXPECT_NE(said.str().find("cannot be opened (Too many open files); records are not kept"),
              std::string::npos)
        << said.str();
    EXPECT_EQ(blocked.save(tenZones(9.0f), said), Saved::notWritten);
    EXPECT_EQ(readFile(kept.path()), before);
}

// A link lying in wait under the temporary file's old name is never written through.
TEST(Records, ASavedRecordNeverWritesThroughALink) {
    TempFolder folder;
    const auto victim = folder.write("victim.txt", "precious");
    std::filesystem::create_symlink(victim, folder.path() / "records.ini.tmp");
    RecordsFile file(folder.path(), 10);
    std::ostringstream console;
    ASSERT_EQ(file.save(tenZones(5.0f), console), Saved::stored) << console.str();
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_TRUE(file.load(console));
}

TEST(Records, AFolderThatCannotBeWrittenLosesNothing) {
    TempFolder folder;
    RecordsFile file(folder.path() / "missing", 10);
    std::ostringstream console;
    EXPECT_EQ(file.save(tenZones(5.0f), console), Saved::notWritten);
    EXPECT_NE(console.str().find("Couldn't write the records file"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "missing"));
}

}  // namespace
}  // namespace kes
