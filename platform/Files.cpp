#include "platform/Files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <chrono>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kes {
namespace {

std::string systemText(int code) {
    return std::generic_category().message(code);
}

std::string sizeText(std::uintmax_t bytes) {
    if (bytes % (1024 * 1024) == 0) {
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    }
    return std::to_string(bytes) + " bytes";
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    // Closes now; false when the close reported an error (for files written, a lost write).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

FileRead failedRead(ReadStatus status, std::string problem) {
    return FileRead{status, {}, std::move(problem)};
}

// Reads at most `limit` + 1 bytes: one more than allowed tells a file that grew past the limit.
std::optional<std::string> readAtMost(int fd, std::uintmax_t limit) {
    std::string bytes;
    char chunk[16384];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return bytes;
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// A rename is durable only once the folder holding the name is flushed too. File systems
// that cannot flush a folder answer EINVAL; there is nothing more to do on those.
bool syncFolder(const std::filesystem::path& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        return false;
    }
    return ::fsync(fd.get()) == 0 || errno == EINVAL;
}

// Where the bytes really go: the target of a link (so the link survives), else the path.
std::filesystem::path resolvedTarget(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_symlink(path, error)) {
        const std::filesystem::path target = std::filesystem::weakly_canonical(path, error);
        if (!error) {
            return target;
        }
    }
    return path;
}

}  // namespace

FileRead readRegularFile(const std::filesystem::path& path, std::uintmax_t limit) {
    // Non-blocking, so a FIFO in the file's place is opened and refused rather than waited on.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        const int code = errno;
        if (code == ENOENT) {
            return failedRead(ReadStatus::missing, "does not exist");
        }
        return failedRead(ReadStatus::unreadable, "cannot be opened (" + systemText(code) + ")");
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return failedRead(ReadStatus::unreadable, "cannot be opened (" + systemText(errno) + ")");
    }
    if (!S_ISREG(info.st_mode)) {
        return failedRead(ReadStatus::notRegular, "is not a regular file");
    }
    const std::string tooLarge = "is larger than " + sizeText(limit);
    if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        return failedRead(ReadStatus::tooLarge, tooLarge);
    }
    auto bytes = readAtMost(fd.get(), limit);
    if (!bytes) {
        return failedRead(ReadStatus::unreadable, "cannot be read (" + systemText(errno) + ")");
    }
    if (bytes->size() > limit) {
        return failedRead(ReadStatus::tooLarge, tooLarge);
    }
    return FileRead{ReadStatus::ok, std::move(*bytes), {}};
}

std::optional<std::string> appendLine(const std::filesystem::path& path, const std::string& line) {
    Descriptor fd(::open(path.c_str(),
                         O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0644));
    if (fd.get() < 0) {
        return systemText(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return std::string("it is not a regular file");
    }
    if (!writeAll(fd.get(), line) || ::fdatasync(fd.get()) != 0 || !fd.close()) {
        return systemText(errno);
    }
    return std::nullopt;
}

FileWrite writeFileAtomically(const std::filesystem::path& path, const std::string& bytes) {
    const auto notWritten = [](std::string why) { return FileWrite{std::move(why), {}}; };
    const std::filesystem::path target = resolvedTarget(path);
    mode_t mode = 0644;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return notWritten("it is not a regular file");
        }
        mode = info.st_mode & 0777;  // a file the player made private stays private
    } else if (errno != ENOENT) {
        return notWritten(systemText(errno));
    }
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) {
        folder = ".";
    }
    // A fresh name, created exclusively: never a link or a file someone left there, and never
    // the same name as another running copy of the game.
    std::string temporary = (folder / (target.filename().string() + ".tmp-XXXXXX")).string();
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        return notWritten(systemText(errno));
    }
    const auto fail = [&](int code) {
        ::unlink(temporary.c_str());
        return notWritten(systemText(code));
    };
    if (::fchmod(fd.get(), mode) != 0 || !writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0) {
        return fail(errno);
    }
    if (!fd.close()) {
        return fail(errno);
    }
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return fail(errno);
    }
    if (!syncFolder(folder)) {
        return FileWrite{{}, systemText(errno)};
    }
    return {};
}

std::optional<FileLock> FileLock::take(const std::filesystem::path& lockFile, std::string& problem,
                                       double patience) {
    const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        problem = "its lock file cannot be made (" + systemText(errno) + ")";
        return std::nullopt;
    }
    FileLock lock(fd);
    // Polled rather than waited on, so a copy that hangs while holding it cannot hang this one.
    constexpr auto kPoll = std::chrono::milliseconds(20);
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::duration<double>(patience);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            problem = "its lock file cannot be locked (" + systemText(errno) + ")";
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= giveUp) {
            problem = "another running copy of the game has held its lock for too long";
            return std::nullopt;
        }
        std::this_thread::sleep_for(kPoll);
    }
    return lock;
}

FileLock::~FileLock() {
    if (m_fd >= 0) {
        ::close(m_fd);  // closing the last descriptor lets the lock go
    }
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

std::optional<std::string> renameWithoutReplacing(const std::filesystem::path& from,
                                                  const std::filesystem::path& to) {
    // RENAME_NOREPLACE fails instead of replacing: whatever has the name stays.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return std::nullopt;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return systemText(errno);
    }
    // A file system without that rename: a new hard link fails the same way on a taken name.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return systemText(errno);
    }
    ::unlink(from.c_str());
    return std::nullopt;
}

std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path,
                                               std::string& problem) {
    constexpr int kMostNames = 1000;
    const std::string taken = systemText(EEXIST);
    for (int n = 0; n < kMostNames; ++n) {
        std::filesystem::path candidate = path;
        candidate += n == 0 ? std::string(".bad") : ".bad." + std::to_string(n);
        const auto failed = renameWithoutReplacing(path, candidate);
        if (!failed) {
            return candidate;
        }
        if (*failed != taken) {
            problem = *failed;
            return std::nullopt;
        }
    }
    problem = "every name up to .bad." + std::to_string(kMostNames - 1) + " is taken";
    return std::nullopt;
}

}  // namespace kes
