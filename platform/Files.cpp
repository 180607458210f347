#include "platform/Files.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <fcntl.h>
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

std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               const std::string& bytes) {
    const std::filesystem::path target = resolvedTarget(path);
    mode_t mode = 0644;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode)) {
            return "it is not a regular file";
        }
        mode = info.st_mode & 0777;  // a file the player made private stays private
    } else if (errno != ENOENT) {
        return systemText(errno);
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
        return systemText(errno);
    }
    const auto fail = [&temporary](int code) -> std::optional<std::string> {
        ::unlink(temporary.c_str());
        return systemText(code);
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
        return "the folder could not be flushed (" + systemText(errno) + ")";
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path,
                                               std::string& problem) {
    constexpr int kMostNames = 1000;
    for (int n = 0; n < kMostNames; ++n) {
        std::filesystem::path candidate = path;
        candidate += n == 0 ? std::string(".bad") : ".bad." + std::to_string(n);
        // RENAME_NOREPLACE fails instead of replacing: an earlier broken file always stays.
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, candidate.c_str(), RENAME_NOREPLACE) ==
            0) {
            return candidate;
        }
        if (errno == EEXIST) {
            continue;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            problem = systemText(errno);
            return std::nullopt;
        }
        // A file system without that rename: a new hard link fails the same way on a taken name.
        if (::link(path.c_str(), candidate.c_str()) == 0) {
            ::unlink(path.c_str());
            return candidate;
        }
        if (errno != EEXIST) {
            problem = systemText(errno);
            return std::nullopt;
        }
    }
    problem = "every name up to .bad." + std::to_string(kMostNames - 1) + " is taken";
    return std::nullopt;
}

}  // namespace kes
