#include "game/GhostKeeper.hpp"

#include <ostream>

#include "platform/Files.hpp"

namespace kes {

std::filesystem::path ghostFileName(const std::string& courseName) {
    std::string name = courseName;
    for (char& c : name) {
        c = c == ':' ? '-' : c;
    }
    return name + ".ghost";
}

GhostKeeper::GhostKeeper(const std::filesystem::path& folder, const Course& course,
                         std::ostream& console)
    : m_path(folder.empty() ? std::filesystem::path() : folder / ghostFileName(course.name)),
      m_console(console) {
    if (m_path.empty()) {
        m_blocked = true;  // no folder: nothing read or written, this run's best still kept
        return;
    }
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

void GhostKeeper::roundFinished(const Ghost& ghost, bool newBest, bool newRecord) {
    if (newBest) {
        m_best = ghost;
    }
    if (!newRecord) {
        return;
    }
    m_record = ghost;
    if (m_blocked) {
        return;  // said at start, or no folder to keep ghosts in
    }
    if (const auto problem = writeFileAtomically(m_path, encodeGhost(ghost))) {
        m_console << "Couldn't write the ghost file " << m_path.string() << " (" << *problem << ")"
                  << std::endl;
    }
}

const Ghost* GhostKeeper::shown(GhostSetting setting) const {
    switch (setting) {
        case GhostSetting::record: return m_record ? &*m_record : nullptr;
        case GhostSetting::best: return m_best ? &*m_best : nullptr;
        case GhostSetting::off: return nullptr;
    }
    return nullptr;
}

}  // namespace kes
