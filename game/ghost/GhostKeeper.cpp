#include "game/ghost/GhostKeeper.hpp"

#include <algorithm>
#include <ostream>
#include <system_error>

#include "platform/Files.hpp"

namespace kes {

namespace {

std::filesystem::path nameWith(const std::string& courseName, char colon) {
    std::string name = courseName;
    std::replace(name.begin(), name.end(), ':', colon);
    return name + ".ghost";
}

}  // namespace

std::filesystem::path ghostFileName(const std::string& courseName) {
    return nameWith(courseName, '.');
}

std::filesystem::path formerGhostFileName(const std::string& courseName) {
    return nameWith(courseName, '-');
}

GhostKeeper::GhostKeeper(const std::filesystem::path& folder, const Course& course,
                         std::ostream& console)
    : m_path(folder.empty() ? std::filesystem::path() : folder / ghostFileName(course.name)),
      m_console(console) {
    if (m_path.empty()) {
        m_blocked = true;  // no folder: nothing read or written, this run's best still kept
        return;
    }
    adoptFormerFile(course);
    const FileRead file = readRegularFile(m_path, kMaxBytes);
    std::string problem = file.problem;
    switch (file.status) {
        case ReadStatus::missing: return;
        case ReadStatus::unreadable:
        case ReadStatus::notRegular:
            m_blocked = true;
            console << "The ghost file " << m_path.string() << " " << problem
                    << "; the race runs without it and no ghost is written over it" << std::endl;
            return;
        case ReadStatus::ok: {
            GhostRead read = decodeGhost(file.bytes, course.name, courseHash(course));
            if (read.ghost) {
                m_record = std::move(read.ghost);
                return;
            }
            if (handOnSeedsGhost(file.bytes)) {
                return;
            }
            problem = read.problem;
            break;
        }
        case ReadStatus::tooLarge: break;
    }
    std::string moveProblem;
    const auto aside = moveAside(m_path, moveProblem);
    m_blocked = !aside;
    console << "The ghost file " << m_path.string() << " " << problem << "; "
            << (aside ? "moved aside as " + aside->string() : "left as it is (" + moveProblem + ")")
            << " and the race runs without it" << std::endl;
}

// A seeded course's ghost written under the name it had before ("seed-3.ghost") takes its own
// name when it is this course's and that name is free; anything else there is left alone.
void GhostKeeper::adoptFormerFile(const Course& course) {
    const std::filesystem::path former = m_path.parent_path() / formerGhostFileName(course.name);
    std::error_code error;
    if (former == m_path || std::filesystem::exists(m_path, error) ||
        !std::filesystem::exists(former, error)) {
        return;
    }
    const FileRead file = readRegularFile(former, kMaxBytes);
    if (file.status == ReadStatus::ok &&
        decodeGhost(file.bytes, course.name, courseHash(course)).ghost) {
        renameWithoutReplacing(former, m_path);
    }
}

// This course's file holds the ghost of the seeded course whose ghosts had this name before
// (a player's course "seed-3" beside the seed "seed:3"): it is no broken file but that course's,
// and goes to that course's own name when it is free. This course has no ghost yet.
bool GhostKeeper::handOnSeedsGhost(const std::string& bytes) {
    const GhostRead any = decodeGhost(bytes);
    if (!any.ghost || formerGhostFileName(any.ghost->courseName) != m_path.filename() ||
        ghostFileName(any.ghost->courseName) == m_path.filename()) {
        return false;
    }
    renameWithoutReplacing(m_path, m_path.parent_path() / ghostFileName(any.ghost->courseName));
    return true;
}

void GhostKeeper::roundFinished(const Ghost& ghost, bool newBest, bool isRecord) {
    m_last = ghost;
    if (newBest) {
        m_best = ghost;
    }
    if (!isRecord) {
        return;
    }
    m_record = ghost;
    if (m_blocked) {
        return;  // said at start, or no folder to keep ghosts in
    }
    const FileWrite write = writeFileAtomically(m_path, encodeGhost(ghost));
    if (!write.written()) {
        m_console << "Couldn't write the ghost file " << m_path.string() << " (" << *write.problem
                  << ")" << std::endl;
    } else if (write.unflushed) {
        m_console << "Wrote the ghost file " << m_path.string()
                  << ", but its folder could not be flushed (" << *write.unflushed
                  << "); a power cut now could bring the old file back" << std::endl;
    }
}

void GhostKeeper::roundFinished(const Ghost& ghost, const RoundResult& result,
                                const RecordKeeper* records) {
    roundFinished(ghost, result.newBest,
                  records != nullptr ? records->isStoredRecord(result) : result.newRecord);
}

const Ghost* GhostKeeper::shown(GhostSetting setting) const {
    switch (setting) {
        case GhostSetting::record: return m_record ? &*m_record : nullptr;
        case GhostSetting::best: return m_best ? &*m_best : nullptr;
        case GhostSetting::last: return m_last ? &*m_last : nullptr;
        case GhostSetting::prime:  // the autopilot's, which the level keeps
        case GhostSetting::off: return nullptr;
    }
    return nullptr;
}

}  // namespace kes
