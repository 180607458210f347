// The game's files on a hostile file system: what is read is a bounded regular file, what is
// written lands whole or not at all, and a file moved aside never replaces an earlier one.
#include "platform/Files.hpp"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sstream>

#include <dlfcn.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "app/Settings.hpp"
#include "game/race/Records.hpp"
#include "support/TempFolder.hpp"

namespace {
// While set, flushing a folder fails with EIO, as on a failing disk. The game's own fsync calls
// come here: this program's definition stands before the C library's.
std::atomic<bool> gFailFolderFlush{false};
}  // namespace

extern "C" int fsync(int fd) {
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat info {};
    if (gFailFolderFlush && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

namespace kes {
namespace {

class FailingFolderFlush {
public:
    FailingFolderFlush() { gFailFolderFlush = true; }
    ~FailingFolderFlush() { gFailFolderFlush = false; }
    FailingFolderFlush(const FailingFolderFlush&) = delete;
    FailingFolderFlush& operator=(const FailingFolderFlush&) = delete;
};

using test::readFile;
using test::TempFolder;

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

// Makes every write past `bytes` fail (EFBIG), as a full disk would, for this scope.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of killing us
        const rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(Files, OnlyABoundedRegularFileIsRead) {
    TempFolder folder;
    EXPECT_EQ(readRegularFile(folder.path() / "none").status, ReadStatus::missing);
    const auto small = folder.write("small", "Width = 640\n");
    const FileRead ok = readRegularFile(small);
    EXPECT_EQ(ok.status, ReadStatus::ok);
    EXPECT_EQ(ok.bytes, "Width = 640\n");

    // An endless device behind a link, and a FIFO nobody writes: refused at once, no hang.
    std::filesystem::create_symlink("/dev/zero", folder.path() / "zero");
    ASSERT_EQ(::mkfifo((folder.path() / "fifo").c_str(), 0644), 0);
    for (const char* name : {"zero", "fifo"}) {
        const FileRead read = readRegularFile(folder.path() / name);
        EXPECT_EQ(read.status, ReadStatus::notRegular) << name;
        EXPECT_EQ(read.problem, "is not a regular file") << name;
    }
    EXPECT_EQ(readRegularFile(folder.path()).status, ReadStatus::notRegular);

    const auto large = folder.write("large", std::string(kMaxTextFileBytes + 1, 'x'));
    const FileRead tooLarge = readRegularFile(large);
    EXPECT_EQ(tooLarge.status, ReadStatus::tooLarge);
    EXPECT_EQ(tooLarge.problem, "is larger than 1 MiB");
    EXPECT_TRUE(tooLarge.bytes.empty());
    EXPECT_EQ(readRegularFile(large, kMaxTextFileBytes + 1).status, ReadStatus::ok);
}

// The temporary file is made fresh: a link or a hard link lying in wait under any name the
// old code used is never written through, and nothing is left behind.
TEST(Files, AnAtomicWriteNeverWritesThroughALinkLeftInWait) {
    TempFolder folder;
    const auto victim = folder.write("victim", "precious");
    std::filesystem::create_symlink(victim, folder.path() / "records.ini.tmp");
    std::filesystem::create_hard_link(victim, folder.path() / "settings.ini.tmp");
    for (const char* name : {"records.ini", "settings.ini"}) {
        EXPECT_FALSE(writeFileAtomically(folder.path() / name, "new text\n").problem) << name;
        EXPECT_EQ(readFile(folder.path() / name), "new text\n");
    }
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(entriesIn(folder.path()), 5u);  // victim, two links, two files: no leftovers
}

// A link at the path itself is the player's choice (settings kept in another folder): its
// target is replaced and the link stays. Anything but a regular file is left alone.
TEST(Files, AnAtomicWriteKeepsALinkAndLeavesNonFilesAlone) {
    TempFolder folder;
    std::filesystem::create_directory(folder.path() / "elsewhere");
    const auto target = folder.write("elsewhere/settings.ini", "old");
    ::chmod(target.c_str(), 0600);
    std::filesystem::create_symlink(target, folder.path() / "settings.ini");
    EXPECT_FALSE(writeFileAtomically(folder.path() / "settings.ini", "new").problem);
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "settings.ini"));
    EXPECT_EQ(readFile(target), "new");
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    std::filesystem::create_symlink("/dev/full", folder.path() / "full.ini");
    std::filesystem::create_directory(folder.path() / "folder.ini");
    for (const char* name : {"full.ini", "folder.ini"}) {
        const auto problem = writeFileAtomically(folder.path() / name, "new").problem;
        ASSERT_TRUE(problem) << name;
        EXPECT_EQ(*problem, "it is not a regular file");
    }
    EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "full.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "folder.ini"));
}

TEST(Files, AWriteThatRunsOutOfSpaceLeavesTheOldFileWhole) {
    TempFolder folder;
    const auto path = folder.write("records.ini", "the old record");
    std::optional<std::string> problem;
    {
        const FileSizeLimit full(16);
        problem = writeFileAtomically(path, std::string(4096, 'n')).problem;
    }
    ASSERT_TRUE(problem);
    EXPECT_EQ(*problem, "File too large");
    EXPECT_EQ(readFile(path), "the old record");
    EXPECT_EQ(entriesIn(folder.path()), 1u);
}

// The new file is in place when only the folder's flush fails: every save says that it saved
// and what could still go wrong, never that the old file was kept.
TEST(Files, AFolderThatCannotBeFlushedStillHasTheNewFileAndTheSaveSaysSo) {
    TempFolder folder;
    const auto path = folder.write("notes.txt", "old");
    std::ostringstream settingsConsole;
    std::ostringstream recordsConsole;
    {
        const FailingFolderFlush failing;
        const FileWrite write = writeFileAtomically(path, "new");
        EXPECT_TRUE(write.written());
        ASSERT_TRUE(write.unflushed);
        EXPECT_EQ(*write.unflushed, "Input/output error");
        { Settings settings(folder.path(), settingsConsole); }
        RecordsFile records(folder.path(), 1);
        EXPECT_EQ(records.save({5.0f, {5.0f}}, recordsConsole), RecordsFile::Saved::stored);
    }
    EXPECT_EQ(readFile(path), "new");
    const std::string settingsPath = (folder.path() / "settings.ini").string();
    const std::string said = "\nSaved the settings to '" + settingsPath +
                             "', but its folder could not be flushed (Input/output error); a "
                             "power cut now could bring the old file back\n";
    EXPECT_NE(settingsConsole.str().find(said), std::string::npos) << settingsConsole.str();
    EXPECT_EQ(settingsConsole.str().find("left as it was"), std::string::npos);
    EXPECT_NE(readFile(settingsPath).find("[Window]"), std::string::npos);
    EXPECT_NE(recordsConsole.str().find(", but its folder could not be flushed"), std::string::npos)
        << recordsConsole.str();
    EXPECT_NE(readFile(folder.path() / "records.ini").find("BestTime = 5\n"), std::string::npos);
}

// A lock another copy holds is waited for, and given up after the patience asked for; once let
// go it is taken at once.
TEST(Files, ALockHeldElsewhereIsWaitedForThenGivenUp) {
    TempFolder folder;
    const auto lockFile = folder.path() / "records.ini.lock";
    const int other = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    std::string problem;
    EXPECT_FALSE(FileLock::take(lockFile, problem, 0.1));
    EXPECT_EQ(problem, "another running copy of the game has held its lock for too long");
    ::close(other);
    EXPECT_TRUE(FileLock::take(lockFile, problem, 0.1));
    EXPECT_FALSE(FileLock::take(folder.path() / "missing" / "x.lock", problem, 0.1));
    EXPECT_EQ(problem, "its lock file cannot be made (No such file or directory)");
}

TEST(Files, MovingAsideNeverReplacesAnEarlierBrokenFile) {
    TempFolder folder;
    const auto path = folder.path() / "records.ini";
    std::string problem;
    for (const char* text : {"first", "second", "third"}) {
        folder.write("records.ini", text);
        EXPECT_TRUE(moveAside(path, problem)) << problem;
    }
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad"), "first");
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad.1"), "second");
    EXPECT_EQ(readFile(folder.path() / "records.ini.bad.2"), "third");
    EXPECT_FALSE(moveAside(path, problem));
    EXPECT_EQ(problem, "No such file or directory");
}

}  // namespace
}  // namespace kes
