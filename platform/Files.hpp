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

// Replaces the file at `path` with `bytes`, whole or not at all. A link at `path` is followed,
// so its target is replaced and the link stays; a path that names something other than a
// regular file (a folder, a device) is left alone. Nothing, when written; otherwise what went
// wrong, for the player ("No space left on device").
std::optional<std::string> writeFileAtomically(const std::filesystem::path& path,
                                               const std::string& bytes);

// Renames `path` to the first free name of `path`.bad, `path`.bad.1, `path`.bad.2, ... without
// ever replacing a file that is there. The new path, or nothing (with `problem` set).
std::optional<std::filesystem::path> moveAside(const std::filesystem::path& path,
                                               std::string& problem);

}  // namespace kes
