// One quest stage made from one Morrowind journal entry, and its block of
// subrecords in the QUST record: INDX stage index, QSDT stage flags, CNAM
// log text, SCHR an empty result script.
#pragma once

#include <cstdint>
#include <string>

#include <string_view>

#include "esm/record_writer.h"
#include "esm/reporter.h"

namespace landfer {

struct JournalStage {
    uint16_t index = 0;
    bool completesQuest = false;
    std::string text;
};

void addStageBlock(RecordWriter& record, const JournalStage& stage);

// True when the subrecords that add writes fit a record of `type` named
// editorId (a journal's pieces are checked when they come, written later);
// else the message, and false.
template <typename Add>
bool subrecordsFit(const Reporter& reporter, RecordType type, std::string_view editorId, Add add) {
    MemorySink unused;
    RecordWriter probe(unused);
    probe.beginSubrecords(type, editorId);
    try {
        add(probe);
        probe.checkSizes();
    } catch (const OversizedSubrecord& problem) {
        reporter.report("%s", problem.what());
        return false;
    }
    return true;
}

}  // namespace landfer
