// Fuzzes the records reader: any bytes as "records.ini" must be refused whole with a reason or
// read section by section; every section read as a record writes back and reads again as the
// same record, to the bit, and asking any course's record of it never faults.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "game/race/Records.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const kes::RecordsRead read = kes::parseRecords(text);
    if (!read.sections) {
        if (read.problem.empty()) {
            std::abort();  // refused without saying why
        }
        return 0;
    }
    for (const kes::KeptRecord& section : *read.sections) {
        if (!section.record) {
            if (section.problem.empty()) {
                std::abort();
            }
            continue;
        }
        const kes::RaceRecord& record = *section.record;
        std::string problem;
        const kes::RecordFit fit{record.splits.size(), {}};
        if (!kes::misfit(record, fit).empty()) {
            continue;  // not a record of any course with that many zones
        }
        const auto back =
            kes::parseRecord(kes::formatRecord(record), record.splits.size(), problem);
        if (!back || back->bestTime != record.bestTime || back->splits != record.splits) {
            std::abort();  // a record the game would write is not read back as itself
        }
    }
    std::string problem;
    kes::recordOf(*read.sections, kes::firstCourseKey(), {10, {}}, problem);
    return 0;
}
