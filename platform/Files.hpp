// The game's files on disk, read and written so that a bad file cannot hurt the player: a file
// is read only when it is a regular file of bounded size (a link to /dev/zero or a FIFO in its
// place is refused instead of eating memory or hanging the start); a file is written whole or
// not at all (a fresh, exclusive temporary file beside it, flushed, renamed over it, and the
// folder flushed, so a crash, a power cut or a full disk leaves the old file or the new one);
// and a broken file is moved aside under a name that never replaces an earlier one.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace kes {

// The largest file the game reads as text: settings, records, shader sources, courses. Real
// ones are a few KiB; the limit only keeps a hostile file from growing memory without end.
inline constexpr std::uintmax_t kMaxTextFileBytes = 1024 * 1024;

enum class ReadStatus : std::uint8_t {
    ok,
    missing,     // nothing at the path (or a dangling link)
    unreadable,  // it exists but cannot be opened: permissions, too many open files
    notRegular,  // a folder, a FIFO, a device, a socket
    tooLarge,    // a regular file above the limit
};

struct FileRead {
    ReadStatus status = ReadStatus::missing;
    std::string bytes;    // the whole file when status is ok
    std::string problem;  // for the player, when status is not ok: "is not a regular file"
};

// Reads the file at `path` (following links) when it is a regular file of at most `limit`
// bytes. Never blocks on a FIFO, never reads more than `limit` + 1 bytes.
FileRead readRegularFile(const std::filesystem::path& path,
                         std::uintmax_t limit = kMaxTextFileBytes);

// How a write went. Not written: the old file stands whole. Written but not flushed: the new
// file is in place and read back from now on, but the folder's flush failed, so a power cut
// before the system writes it out on its own could bring the old file back.
struct FileWrite {
    std::optional<std::string> problem;    // not written, and why ("No space left on device")
    std::optional<std::string> unflushed;  // written; why the folder could not be flushed
    bool written() const { return !problem; }
};

// Replaces the file at `path` with `bytes`, whole or not at all. A link at `path` is followed,
// so its target is replaced and the link stays; a path that names something other than a
// regular file (a folder, a device) is left alone.
FileWrite writeFileAtomically(const std::filesystem::path& path, const std::string& bytes);

// Appends `line` (which ends in a newline) to the regular file at `path`, made when missing,
// in one write and flushed to the disk before it returns: a line is there whole or, after a
// failed write cut it short, as a broken line the reader skips. The reason when it could not.
std::optional<std::string> appendLine(const std::filesystem::path& path, const std::string& line);

// An advisory lock on a lock file (made when missing, never removed: removing it would let
// two copies lock two different files), held until the object goes. Two running copies of the
// game that lock the same file take turns at what they do under it.
class FileLock {
public:
    // Waits at most `patience` seconds for a copy holding the lock to let it go; nothing, with
    // `problem` set, when the lock file cannot be made or the wait runs out.
    static std::optional<FileLock> take(const std::filesystem::path& lockFile, std::string& problem,
                                        double patience = 5.0);
    ~FileLock();
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(int fd) : m_fd(fd) {}
    int m_fd = -1;
};

// Renames `from` to `to` unless something is there already: nothing, or why not ("File
// exists" when the name is taken). Never replaces a file.
std::optional<std::string> renameWithoutReplacing(const std::filesystem::path& from,
                                                  const std::filesystem::path& to);

// Renames `path` to the first free name of `path`.bad, `path`.bad.1, `path`.bad.2, ... without
// ever replacing a file that is there. The new path, or nothing (with `problem` set).
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path,
                                               std::string& problem);

}  // namespace kes
